// ModelPlatform's known folders and the text of Internet shortcuts.
#include <string>

#include "platform/model/access_check.h"
#include "platform/model/model_state.h"

namespace brenvik::model {
namespace {

// Internet shortcuts are small; the Win32 port refuses more than this as well.
constexpr std::size_t kMaxTextBytes = 64 * 1024;

std::string FolderObject(KnownFolder id) {
    return "knownFolder " + std::to_string(static_cast<int>(id));
}

}  // namespace

// ---- KnownFolderPort ----

Status ModelPlatform::knownFolder(KnownFolder id, std::string* path) {
    path->clear();
    if (Status s = m_impl->injected("knownFolder", FolderObject(id)))
        return s;
    const auto it = m_impl->knownFolders.find(id);
    if (it == m_impl->knownFolders.end())
        return kErrorFileNotFound;
    *path = it->second;
    return kErrorSuccess;
}

void ModelPlatform::setKnownFolder(KnownFolder id, const std::string& path) {
    m_impl->knownFolders[id] = path;
}

// ---- Internet shortcut text (FilePort) ----

Status ModelPlatform::Impl::readText(const std::string& path, bool backup,
                                     std::string* text) const {
    text->clear();
    FileLookup found;
    if (Status s =
            reachReadable(path, backup ? "readFileTextForBackup" : "readFileText", !backup, &found))
        return s;
    const std::string bytes = found.node->text.value_or("");
    if (bytes.size() > kMaxTextBytes)
        return kErrorInvalidData;
    *text = bytes;
    return kErrorSuccess;
}

Status ModelPlatform::readFileText(const std::string& path, std::string* text, OpenMode mode) {
    return m_impl->readText(path, mode == OpenMode::BackupIntent && m_impl->backupPrivilegesEnabled,
                            text);
}

// ---- Building and inspecting ----

void ModelPlatform::setShortcutIcon(const std::string& path, const std::string& iconPath) {
    auto node = m_impl->lookupFile(path).node;
    if (node && node->shortcut)
        node->shortcut->iconPath = iconPath;
}

void ModelPlatform::setShortcutWorkingFolder(const std::string& path, const std::string& folder) {
    auto node = m_impl->lookupFile(path).node;
    if (node && node->shortcut)
        node->shortcut->workingFolder = folder;
}

void ModelPlatform::addTextFile(const std::string& path, const std::string& text) {
    addFile(path);
    if (auto node = m_impl->lookupFile(path).node)
        node->text = text;
}

const Shortcut* ModelPlatform::Impl::shortcutAt(const std::string& path) const {
    const auto node = lookupFile(path).node;
    return node && node->shortcut ? &*node->shortcut : nullptr;
}

std::optional<std::string> ModelPlatform::Impl::shortcutField(const std::string& path,
                                                              std::string Shortcut::*field) const {
    const Shortcut* link = shortcutAt(path);
    return link ? std::optional<std::string>(link->*field) : std::nullopt;
}

std::optional<std::string> ModelPlatform::shortcutIcon(const std::string& path) const {
    return m_impl->shortcutField(path, &Shortcut::iconPath);
}

std::optional<std::string> ModelPlatform::shortcutWorkingFolder(const std::string& path) const {
    return m_impl->shortcutField(path, &Shortcut::workingFolder);
}

}  // namespace brenvik::model
