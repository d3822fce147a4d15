// ModelPlatform's folder tree and shortcuts: drives, case-insensitive names, listings.
#include <algorithm>

#include "engine/base/text_rules.h"
#include "platform/model/access_check.h"
#include "platform/model/model_state.h"

namespace brenvik::model {
namespace {

// IShellLinkW's getters fill 4096-unit buffers, so at most 4095 UTF-16 units come back.
constexpr std::size_t kMaxLinkText = 4095;

// The wide file functions refuse paths of MAX_PATH (260) UTF-16 units or more.
bool TooLong(const std::string& path) {
    return Utf16Length(path) > kMaxPathLength;
}

constexpr std::uint32_t kSettableAttributes = 0x1 | 0x2 | 0x4 | 0x20 | 0x100 | 0x1000 | 0x2000;

FindEntry DotEntry(const char* name, const FileNode& folder) {
    return FindEntry{name, ReportedAttributes(folder)};
}

}  // namespace

std::shared_ptr<FileNode> FileNode::child(const std::string& childName) const {
    const auto it = byFoldedName.find(FoldName(childName));
    return it == byFoldedName.end() ? nullptr : it->second;
}

void FileNode::adopt(const std::shared_ptr<FileNode>& node) {
    children.push_back(node);
    byFoldedName[FoldName(node->name)] = node;
}

bool FileNode::remove(const FileNode* node) {
    auto it = std::find_if(children.begin(), children.end(),
                           [node](const auto& c) { return c.get() == node; });
    if (it == children.end())
        return false;
    byFoldedName.erase(FoldName(node->name));
    children.erase(it);
    return true;
}

void FileNode::clearChildren() {
    children.clear();
    byFoldedName.clear();
}

std::uint32_t ReportedAttributes(const FileNode& node) {
    std::uint32_t attributes = node.attributes;
    if (node.folder)
        attributes |= kFileAttributeDirectory;
    return attributes ? attributes : kFileAttributeNormal;
}

FileLookup ModelPlatform::Impl::lookupFile(const std::string& path, bool followLast) const {
    FileLookup found;
    std::vector<std::string> parts = SplitFilePath(path);
    found.canonical = JoinPath(parts);
    if (TooLong(path) || parts.empty() || !IsDrive(parts[0])) {
        found.status = kErrorPathNotFound;
        return found;
    }
    std::shared_ptr<FileNode> node = drives;
    int followed = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!node->folder) {
            found.status = kErrorPathNotFound;
            return found;
        }
        found.parent = node;
        node = node->child(parts[i]);
        if (!node) {
            found.status = i + 1 == parts.size() ? kErrorFileNotFound : kErrorPathNotFound;
            return found;
        }
        if (!node->junctionTarget || (i + 1 == parts.size() && !followLast))
            continue;
        // The rest of the path goes on from the junction's target, as the I/O manager
        // reparses it; a chain that never ends is ERROR_CANT_RESOLVE_FILENAME.
        constexpr int kMaxReparses = 63;
        if (++followed > kMaxReparses) {
            found.status = 1921;
            return found;
        }
        std::vector<std::string> rest = SplitFilePath(*node->junctionTarget);
        rest.insert(rest.end(), parts.begin() + static_cast<std::ptrdiff_t>(i) + 1, parts.end());
        parts = std::move(rest);
        node = drives;
        i = static_cast<std::size_t>(-1);
    }
    found.node = node;
    return found;
}

OpenFile* ModelPlatform::Impl::openFile(FileHandle handle) {
    const auto it = files.find(handle);
    return it == files.end() ? nullptr : &it->second;
}

void ModelPlatform::Impl::enterCall(const char* op, const std::string& object) const {
    if (!callHook || inHook)
        return;
    inHook = true;
    callHook(op, object);
    inHook = false;
}

std::shared_ptr<FileNode> ModelPlatform::Impl::makeFolder(const std::string& path) {
    const std::vector<std::string> parts = SplitFilePath(path);
    if (parts.empty() || !IsDrive(parts[0]))
        return nullptr;
    std::shared_ptr<FileNode> node = drives;
    for (const std::string& part : parts) {
        auto next = node->child(part);
        if (!next) {
            next = std::make_shared<FileNode>();
            next->name = part;
            next->folder = true;
            node->adopt(next);
        }
        node = next;
    }
    return node;
}

std::shared_ptr<FileNode> ModelPlatform::Impl::makeFile(const std::string& path) {
    std::vector<std::string> parts = SplitFilePath(path);
    if (parts.size() < 2)
        return nullptr;
    const std::string name = parts.back();
    parts.pop_back();
    auto folder = makeFolder(JoinPath(parts));
    if (!folder)
        return nullptr;
    auto node = folder->child(name);
    if (!node) {
        node = std::make_shared<FileNode>();
        node->name = name;
        folder->adopt(node);
    }
    node->folder = false;
    node->clearChildren();
    return node;
}

// ---- FilePort ----

FindHandle ModelPlatform::findFirst(const std::string& pattern, FindEntry* entry, Status* error) {
    m_impl->enterCall("findFirst", pattern);
    const auto fail = [error](Status status) {
        if (error != nullptr)
            *error = status;
        return kNoFind;
    };
    const std::size_t slash = pattern.find_last_of("\\/");
    if (TooLong(pattern) || slash == std::string::npos)
        return fail(kErrorPathNotFound);
    const std::string mask = pattern.substr(slash + 1);
    const FileLookup folder = m_impl->lookupFile(pattern.substr(0, slash + 1));
    const std::string object = JoinPath(SplitFilePath(pattern));
    if (Status s = m_impl->injected("findFirst", object))
        return fail(s);
    if (Status s = m_impl->injected("findFirst", folder.canonical))
        return fail(s);
    if (mask.empty())
        return fail(kErrorFileNotFound);
    if (!folder.node || !folder.node->folder)
        return fail(kErrorPathNotFound);
    if (Status s = CheckAccess(folder.node->access, kFileListDirectory, ObjectKind::File))
        return fail(s);

    Listing listing{object, folder.node, {}, 0};
    // Every folder but a drive's root lists "." and ".." first.
    if (folder.parent != m_impl->drives) {
        if (MatchesMask(".", mask))
            listing.entries.push_back({DotEntry(".", *folder.node), {}});
        if (MatchesMask("..", mask))
            listing.entries.push_back({DotEntry("..", *folder.parent), {}});
    }
    for (const auto& node : folder.node->children) {
        if (MatchesMask(node->name, mask))
            listing.entries.push_back({FindEntry{node->name, ReportedAttributes(*node)}, node});
    }
    if (listing.entries.empty())
        return fail(kErrorFileNotFound);

    const FindHandle handle = m_impl->nextFind;
    m_impl->nextFind += 4;
    m_impl->finds[handle] = std::move(listing);
    findNext(handle, entry);
    return handle;
}

bool ModelPlatform::findNext(FindHandle handle, FindEntry* entry, Status* error) {
    const auto fail = [error](Status status) {
        if (error != nullptr)
            *error = status;
        return false;
    };
    auto it = m_impl->finds.find(handle);
    if (it == m_impl->finds.end())
        return fail(kErrorInvalidHandle);
    Listing& listing = it->second;
    // The first entry comes through here too; only later calls can fail by injection.
    if (listing.next > 0) {
        if (Status s = m_impl->injected("findNext", listing.object))
            return fail(s);
    }
    if (listing.next >= listing.entries.size())
        return fail(kErrorNoMoreFiles);
    const ListedEntry& listed = listing.entries[listing.next++];
    *entry = listed.entry;
    if (listed.node && listed.node->vanishAfterListing)
        listing.folder->remove(listed.node.get());
    return true;
}

void ModelPlatform::findClose(FindHandle handle) {
    m_impl->finds.erase(handle);
}

std::uint32_t ModelPlatform::getAttributes(const std::string& path) {
    m_impl->enterCall("getAttributes", path);
    // A reparse point tells its own attributes.
    const FileLookup found = m_impl->lookupFile(path, false);
    if (!found.node)
        return kInvalidFileAttributes;
    // A drive's root ("C:\") is a folder as well.
    return ReportedAttributes(*found.node);
}

bool ModelPlatform::setAttributes(const std::string& path, std::uint32_t attributes) {
    const FileLookup found = m_impl->lookupFile(path);
    if (!found.node)
        return false;
    m_impl->securityCalls.push_back("setAttributes " + found.canonical);
    if (m_impl->injected("setAttributes", found.canonical))
        return false;
    if (CheckAccess(found.node->access, kFileWriteAttributes, ObjectKind::File))
        return false;
    // FILE_ATTRIBUTE_NORMAL means "none"; directory and reparse bits cannot be set or cleared.
    const std::uint32_t kept = found.node->attributes & kFileAttributeReparsePoint;
    found.node->attributes = kept | (attributes & kSettableAttributes);
    return true;
}

Status ModelPlatform::deleteFile(const std::string& path, OpenMode mode) {
    if (mode == OpenMode::BackupIntent)
        return deleteFileBackupIntent(path);
    m_impl->enterCall("deleteFile", path);
    const FileLookup found = m_impl->lookupFile(path, false);
    if (!found.node)
        return found.status;
    if (found.node->folder)
        return kErrorAccessDenied;
    if (Status s = m_impl->injected("deleteFile", found.canonical))
        return s;
    // DeleteFileW refuses a read-only file with ERROR_ACCESS_DENIED.
    if (found.node->attributes & kFileAttributeReadOnly)
        return kErrorAccessDenied;
    if (Status s = CheckAccess(found.node->access, kDelete, ObjectKind::File))
        return s;
    found.parent->remove(found.node.get());
    return kErrorSuccess;
}

Status ModelPlatform::getLinkCount(const std::string& path, std::uint32_t* count) {
    const FileLookup found = m_impl->lookupFile(path, false);
    m_impl->securityCalls.push_back("getLinkCount " + found.canonical);
    if (!found.node)
        return found.status;
    *count = found.node->links;
    return kErrorSuccess;
}

// ---- ShortcutPort ----

Status ModelPlatform::Impl::reachLinkFile(const std::string& path, const char* op, bool change,
                                          bool backup, FileNode** node) const {
    enterCall(op, path);
    const FileLookup found = lookupFile(path);
    if (!found.node)
        return found.status;
    if (Status s = injected(op, found.canonical))
        return s;
    if (change && (found.node->attributes & kFileAttributeReadOnly))
        return kErrorAccessDenied;
    if (!backup) {
        const std::uint32_t rights = change ? kFileReadData | kFileWriteData : kFileReadData;
        if (Status s = CheckAccess(found.node->access, rights, ObjectKind::File))
            return s;
    }
    *node = found.node.get();
    return kErrorSuccess;
}

namespace {

const char* ModeOp(bool backup, const char* asIs, const char* backupIntent) {
    return backup ? backupIntent : asIs;
}

void ClearFields(ShortcutProperties* properties) {
    properties->target.clear();
    properties->arguments.clear();
    properties->iconPath.clear();
}

}  // namespace

Status ModelPlatform::readShortcut(const std::string& linkPath, OpenMode mode,
                                   ShortcutProperties* properties) {
    ClearFields(properties);
    // Without the privileges enabled a backup-intent open is an ordinary one.
    const bool backup = mode == OpenMode::BackupIntent && m_impl->backupPrivilegesEnabled;
    FileNode* node = nullptr;
    if (Status s =
            m_impl->reachLinkFile(linkPath, ModeOp(backup, "readShortcut", "readShortcutForBackup"),
                                  false, backup, &node))
        return s;
    return m_impl->readProperties(*node, properties);
}

Status ModelPlatform::writeShortcut(const std::string& linkPath, OpenMode mode,
                                    const ShortcutProperties& properties) {
    const bool backup = mode == OpenMode::BackupIntent && m_impl->backupPrivilegesEnabled;
    FileNode* node = nullptr;
    if (Status s = m_impl->reachLinkFile(linkPath,
                                         ModeOp(backup, "writeShortcut", "writeShortcutForBackup"),
                                         true, backup, &node))
        return s;
    return m_impl->writeProperties(*node, properties);
}

Status ModelPlatform::rewriteShortcut(FileHandle file, const ShortcutProperties& properties) {
    FileNode* node = nullptr;
    if (Status s = m_impl->reachOpenLink(file, "rewriteShortcut", "writeShortcut", &node))
        return s;
    return m_impl->writeProperties(*node, properties);
}

Status ModelPlatform::Impl::reachOpenFile(FileHandle handle, const char* op, const char* pathOp,
                                          OpenFile** open) {
    *open = openFile(handle);
    if (!*open)
        return kErrorInvalidHandle;
    enterCall(op, (*open)->canonical);
    if (Status s = injected(op, (*open)->canonical))
        return s;
    if (pathOp == nullptr)
        return kErrorSuccess;
    return injected((*open)->pathOp(pathOp).c_str(), (*open)->canonical);
}

Status ModelPlatform::Impl::reachOpenLink(FileHandle file, const char* op, const char* pathOp,
                                          FileNode** node) {
    OpenFile* open = nullptr;
    if (Status s = reachOpenFile(file, op, pathOp, &open))
        return s;
    // Loaded from the handle's bytes and saved back through it.
    if ((open->granted & (kFileReadData | kFileWriteData)) != (kFileReadData | kFileWriteData) ||
        open->node->folder)
        return kErrorAccessDenied;
    *node = open->node.get();
    return kErrorSuccess;
}

Status ModelPlatform::Impl::readProperties(const FileNode& node,
                                           ShortcutProperties* properties) const {
    if (!node.shortcut)
        return kErrorInvalidData;
    if (properties->mask & kShortcutTarget)
        properties->target = Utf16Prefix(node.shortcut->target, kMaxLinkText);
    if (properties->mask & kShortcutArguments)
        properties->arguments = Utf16Prefix(node.shortcut->arguments, kMaxLinkText);
    if (properties->mask & kShortcutIcon)
        properties->iconPath = Utf16Prefix(node.shortcut->iconPath, kMaxLinkText);
    return kErrorSuccess;
}

Status ModelPlatform::Impl::writeProperties(FileNode& node, const ShortcutProperties& properties) {
    if (!node.shortcut)
        return kErrorInvalidData;
    if (properties.mask & kShortcutTarget)
        node.shortcut->target = properties.target;
    if (properties.mask & kShortcutArguments)
        node.shortcut->arguments = properties.arguments;
    if (properties.mask & kShortcutIcon)
        node.shortcut->iconPath = properties.iconPath;
    return kErrorSuccess;
}

// ---- Building and inspecting ----

void ModelPlatform::addFolder(const std::string& path) {
    m_impl->makeFolder(path);
}

void ModelPlatform::addFile(const std::string& path, std::uint32_t attributes) {
    auto node = m_impl->makeFile(path);
    if (!node)
        return;
    node->attributes = attributes & ~kFileAttributeNormal;
    node->shortcut.reset();
}

void ModelPlatform::addShortcut(const std::string& path, const std::string& target,
                                const std::string& arguments, std::uint32_t attributes) {
    auto node = m_impl->makeFile(path);
    if (!node)
        return;
    node->attributes = attributes & ~kFileAttributeNormal;
    node->shortcut = Shortcut{target, arguments};
}

void ModelPlatform::setFileAccessList(const std::string& path, const AccessList& list) {
    if (auto node = m_impl->lookupFile(path).node)
        node->access = list;
}

void ModelPlatform::setLinkCount(const std::string& path, std::uint32_t count) {
    if (auto node = m_impl->lookupFile(path).node)
        node->links = count;
}

void ModelPlatform::setReparsePoint(const std::string& path) {
    if (auto node = m_impl->lookupFile(path).node)
        node->attributes |= kFileAttributeReparsePoint;
}

void ModelPlatform::addJunction(const std::string& path, const std::string& target) {
    std::vector<std::string> parts = SplitFilePath(path);
    if (parts.size() < 2)
        return;
    const std::string name = parts.back();
    parts.pop_back();
    auto folder = m_impl->makeFolder(JoinPath(parts));
    if (!folder)
        return;
    if (auto old = folder->child(name))
        folder->remove(old.get());
    auto node = std::make_shared<FileNode>();
    node->name = name;
    node->folder = true;
    node->attributes = kFileAttributeReparsePoint;
    node->junctionTarget = JoinPath(SplitFilePath(target));
    folder->adopt(node);
}

void ModelPlatform::setCallHook(
    std::function<void(const std::string& op, const std::string& object)> hook) {
    m_impl->callHook = std::move(hook);
}

void ModelPlatform::vanishAfterListing(const std::string& path) {
    if (auto node = m_impl->lookupFile(path).node)
        node->vanishAfterListing = true;
}

bool ModelPlatform::hasFile(const std::string& path) const {
    return m_impl->lookupFile(path, false).node != nullptr;
}

std::uint32_t ModelPlatform::fileAttributes(const std::string& path) const {
    auto node = m_impl->lookupFile(path, false).node;
    return node ? ReportedAttributes(*node) : kInvalidFileAttributes;
}

AccessList ModelPlatform::fileAccessList(const std::string& path) const {
    auto node = m_impl->lookupFile(path).node;
    return node ? node->access : AccessList{};
}

std::optional<std::string> ModelPlatform::shortcutTarget(const std::string& path) const {
    return m_impl->shortcutField(path, &Shortcut::target);
}

std::optional<std::string> ModelPlatform::shortcutArguments(const std::string& path) const {
    return m_impl->shortcutField(path, &Shortcut::arguments);
}

std::vector<std::string> ModelPlatform::folderEntries(const std::string& path) const {
    std::vector<std::string> names;
    auto node = m_impl->lookupFile(path).node;
    if (!node || !node->folder)
        return names;
    for (const auto& child : node->children) names.push_back(child->name);
    return names;
}

std::size_t ModelPlatform::openFindCount() const {
    return m_impl->finds.size();
}

}  // namespace brenvik::model
