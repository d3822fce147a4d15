// ModelPlatform's whole-object reads and writes: file bytes and raw registry values.
#include <string>

#include "platform/model/access_check.h"
#include "platform/model/model_state.h"

namespace brenvik::model {
namespace {

// A model shortcut as bytes: a tag and its fields, each ended by a NUL. Real shortcuts are
// binary files too; what matters is that the bytes read back write back the same shortcut.
constexpr char kShortcutTag[] = "model-shortcut";

std::string ShortcutBytes(const Shortcut& link) {
    std::string bytes(kShortcutTag, sizeof kShortcutTag);
    for (const std::string* field :
         {&link.target, &link.arguments, &link.iconPath, &link.workingFolder}) {
        bytes += *field;
        bytes += '\0';
    }
    return bytes;
}

bool ParseShortcut(const std::string& bytes, Shortcut* link) {
    if (bytes.compare(0, sizeof kShortcutTag, kShortcutTag, sizeof kShortcutTag) != 0)
        return false;
    std::size_t at = sizeof kShortcutTag;
    for (std::string* field :
         {&link->target, &link->arguments, &link->iconPath, &link->workingFolder}) {
        const std::size_t end = bytes.find('\0', at);
        if (end == std::string::npos)
            return false;
        field->assign(bytes, at, end - at);
        at = end + 1;
    }
    return at == bytes.size();
}

std::string NodeBytes(const FileNode& node) {
    return node.shortcut ? ShortcutBytes(*node.shortcut) : node.text.value_or("");
}

void SetNodeBytes(FileNode& node, const std::string& bytes) {
    Shortcut link;
    if (ParseShortcut(bytes, &link)) {
        node.shortcut = link;
        node.text.reset();
        return;
    }
    node.shortcut.reset();
    node.text = bytes;
}

}  // namespace

Status ModelPlatform::readFileBytes(const std::string& path, std::string* bytes, OpenMode mode) {
    if (mode == OpenMode::BackupIntent)
        return readFileBytesBackupIntent(path, bytes);
    bytes->clear();
    FileLookup found;
    if (Status s = m_impl->reachReadable(path, "readFileBytes", true, &found))
        return s;
    *bytes = NodeBytes(*found.node);
    return kErrorSuccess;
}

Status ModelPlatform::readFileBytesBackupIntent(const std::string& path, std::string* bytes) {
    bytes->clear();
    FileLookup found;
    if (Status s = m_impl->reachReadable(path, "readFileBytesForBackup",
                                         !m_impl->backupPrivilegesEnabled, &found))
        return s;
    *bytes = NodeBytes(*found.node);
    return kErrorSuccess;
}

Status ModelPlatform::Impl::reachReadable(const std::string& path, const char* op, bool checkList,
                                          FileLookup* found) const {
    enterCall(op, path);
    *found = lookupFile(path);
    if (!found->node)
        return found->status;
    if (Status s = injected(op, found->canonical))
        return s;
    if (found->node->folder)
        return kErrorAccessDenied;
    if (checkList)
        return CheckAccess(found->node->access, kFileReadData, ObjectKind::File);
    return kErrorSuccess;
}

Status ModelPlatform::writeFileBytes(const std::string& path, const std::string& bytes,
                                     bool replace, OpenMode mode) {
    return m_impl->writeBytes(path, bytes, replace,
                              mode == OpenMode::BackupIntent && m_impl->backupPrivilegesEnabled);
}

Status ModelPlatform::Impl::writeBytes(const std::string& path, const std::string& bytes,
                                       bool replace, bool backup) {
    enterCall(backup ? "writeFileBytesForBackup" : "writeFileBytes", path);
    const FileLookup found = lookupFile(path);
    if (!found.node && found.status != kErrorFileNotFound)
        return found.status;
    if (Status s = injected(backup ? "writeFileBytesForBackup" : "writeFileBytes", found.canonical))
        return s;
    if (found.node) {
        if (!replace)
            return kErrorFileExists;
        // CREATE_ALWAYS refuses a read-only file, and a folder.
        if (found.node->folder || (found.node->attributes & kFileAttributeReadOnly))
            return kErrorAccessDenied;
        if (!backup) {
            if (Status s = CheckAccess(found.node->access, kFileWriteData, ObjectKind::File))
                return s;
        }
        SetNodeBytes(*found.node, bytes);
        return kErrorSuccess;
    }
    // FILE_ADD_FILE on the folder.
    if (!backup) {
        if (Status s = CheckAccess(found.parent->access, kFileWriteData, ObjectKind::File))
            return s;
    }
    auto node = std::make_shared<FileNode>();
    node->name = found.canonical.substr(found.canonical.find_last_of('\\') + 1);
    node->attributes = kFileAttributeArchive;
    SetNodeBytes(*node, bytes);
    found.parent->adopt(node);
    return kErrorSuccess;
}

Status ModelPlatform::readFileData(FileHandle handle, std::uint64_t limit, std::string* bytes) {
    bytes->clear();
    OpenFile* open = nullptr;
    if (Status s = m_impl->reachOpenFile(handle, "readFileData", "readFileBytes", &open))
        return s;
    if (!(open->granted & kFileReadData) || open->node->folder)
        return kErrorAccessDenied;
    std::string read = NodeBytes(*open->node);
    if (read.size() > limit)
        return kErrorInvalidData;
    *bytes = std::move(read);
    return kErrorSuccess;
}

Status ModelPlatform::writeFileData(FileHandle handle, const std::string& bytes) {
    OpenFile* open = nullptr;
    if (Status s = m_impl->reachOpenFile(handle, "writeFileData", nullptr, &open))
        return s;
    if (!(open->granted & kFileWriteData) || open->node->folder)
        return kErrorAccessDenied;
    SetNodeBytes(*open->node, bytes);
    return kErrorSuccess;
}

Status ModelPlatform::enumValue(RegKey key, std::uint32_t index, ValueEntry* value) {
    *value = ValueEntry{};
    OpenKeyRecord record;
    if (Status s = m_impl->reachKey(key, kKeyQueryValue, "enumValue", &record))
        return s;
    if (index >= record.node->values.size())
        return kErrorNoMoreItems;
    const auto& [name, stored] = record.node->values[index];
    value->name = name;
    value->type = stored.type;
    value->data.assign(stored.data.begin(), stored.data.end());
    return kErrorSuccess;
}

Status ModelPlatform::setValueBytes(RegKey key, const std::string& name, std::uint32_t type,
                                    const std::string& data) {
    OpenKeyRecord record;
    if (Status s = m_impl->reachKey(key, kKeySetValue, "setValueBytes", &record))
        return s;
    ModelValue value{type, std::vector<std::uint8_t>(data.begin(), data.end())};
    record.node->setValue(name, std::move(value));
    return kErrorSuccess;
}

}  // namespace brenvik::model
