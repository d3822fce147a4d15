// ModelPlatform's escalated calls: the backup and restore privileges, backup-intent opens of
// keys and files, and the file security port's handles.
#include "platform/model/access_check.h"
#include "platform/model/model_state.h"

namespace brenvik::model {
namespace {

constexpr std::uint32_t kFileReadAttributes = 0x80;
constexpr std::uint32_t kSettableAttributes = 0x1 | 0x2 | 0x4 | 0x20 | 0x100 | 0x1000 | 0x2000;

}  // namespace

Status ModelPlatform::enableBackupPrivileges() {
    m_impl->securityCalls.push_back("enableBackupPrivileges");
    if (!m_impl->holdsBackupPrivileges)
        return kErrorNotAllAssigned;
    m_impl->backupPrivilegesEnabled = true;
    return kErrorSuccess;
}

void ModelPlatform::setHoldsBackupPrivileges(bool held) {
    m_impl->holdsBackupPrivileges = held;
    if (!held)
        m_impl->backupPrivilegesEnabled = false;
}

Status ModelPlatform::tokenUserSid(std::string* sid) {
    m_impl->securityCalls.push_back("tokenUserSid");
    *sid = m_impl->tokenUser;
    return kErrorSuccess;
}

void ModelPlatform::setTokenUserSid(const std::string& sid) {
    m_impl->userHives[FoldName(m_impl->tokenUser)] = m_impl->currentUser;
    std::shared_ptr<KeyNode>& hive = m_impl->userHives[FoldName(sid)];
    if (!hive)
        hive = std::make_shared<KeyNode>();
    m_impl->currentUser = hive;
    m_impl->tokenUser = sid;
}

bool ModelPlatform::backupPrivilegesEnabled() const {
    return m_impl->backupPrivilegesEnabled;
}

// ---- Backup-intent opens: the list is not asked while both privileges are enabled ----

Status ModelPlatform::openKeyBackupIntent(RegKey parent, const std::string& path,
                                          std::uint32_t access, RegKey* key) {
    *key = kNoKey;
    if (!m_impl->backupPrivilegesEnabled)
        return openKey(parent, path, access, key);
    KeyPath reached;
    if (Status s = m_impl->reachKeyPath(parent, path, "openKeyForBackup", &reached))
        return s;
    auto node = m_impl->findKey(reached.from.node, reached.parts);
    if (!node)
        return kErrorFileNotFound;
    *key = m_impl->addHandle(node, reached.object, kKeyAllAccess);
    return kErrorSuccess;
}

Status ModelPlatform::deleteFileBackupIntent(const std::string& path) {
    if (!m_impl->backupPrivilegesEnabled)
        return deleteFile(path);
    m_impl->enterCall("deleteFileForBackup", path);
    const FileLookup found = m_impl->lookupFile(path, false);
    if (!found.node)
        return found.status;
    if (Status s = m_impl->injected("deleteFileForBackup", found.canonical))
        return s;
    // The read-only attribute refuses deletion whatever the privileges.
    if (found.node->folder || (found.node->attributes & kFileAttributeReadOnly))
        return kErrorAccessDenied;
    found.parent->remove(found.node.get());
    return kErrorSuccess;
}

// ---- FileSecurityPort: the handle keeps the node, whatever later happens to its name ----

Status ModelPlatform::openFileSecurity(const std::string& path, FileHandle* handle) {
    *handle = kNoFile;
    m_impl->enterCall("openFileSecurity", path);
    const FileLookup found = m_impl->lookupFile(path, false);
    m_impl->securityCalls.push_back("openFileSecurity " + found.canonical);
    if (!found.node)
        return found.status;
    if (Status s = m_impl->injected("openFileSecurity", found.canonical))
        return s;
    // The owner has READ_CONTROL and WRITE_DAC; the attribute rights come from the list,
    // or from the privileges with backup semantics.
    if (!m_impl->backupPrivilegesEnabled) {
        if (Status s = CheckAccess(found.node->access, kFileReadAttributes | kFileWriteAttributes,
                                   ObjectKind::File))
            return s;
    }
    *handle = m_impl->nextFile++;
    m_impl->files[*handle] =
        OpenFile{found.node, found.canonical, found.parent,
                 kReadControl | kWriteDac | kFileReadAttributes | kFileWriteAttributes};
    return kErrorSuccess;
}

Status ModelPlatform::queryFileIdentity(FileHandle handle, FileIdentity* identity) {
    const OpenFile* open = m_impl->openFile(handle);
    if (!open)
        return kErrorInvalidHandle;
    m_impl->securityCalls.push_back("queryFileIdentity " + open->canonical);
    identity->attributes = ReportedAttributes(*open->node);
    identity->links = open->node->links;
    return kErrorSuccess;
}

Status ModelPlatform::readFileAccessList(FileHandle handle, AccessList* list) {
    const OpenFile* open = m_impl->openFile(handle);
    if (!open)
        return kErrorInvalidHandle;
    m_impl->securityCalls.push_back("readFileAccessList " + open->canonical);
    *list = open->node->access;
    return kErrorSuccess;
}

Status ModelPlatform::writeFileAccessList(FileHandle handle, const AccessList& list) {
    const OpenFile* open = m_impl->openFile(handle);
    if (!open)
        return kErrorInvalidHandle;
    m_impl->securityCalls.push_back("writeFileAccessList " + open->canonical);
    if (Status s = m_impl->injected("writeFileAccessList", open->canonical))
        return s;
    open->node->access = list;
    m_impl->accessWrites.emplace_back(open->canonical, list);
    return kErrorSuccess;
}

Status ModelPlatform::setFileAttributes(FileHandle handle, std::uint32_t attributes) {
    const OpenFile* open = m_impl->openFile(handle);
    if (!open)
        return kErrorInvalidHandle;
    m_impl->securityCalls.push_back("setFileAttributes " + open->canonical);
    if (Status s = m_impl->injected("setFileAttributes", open->canonical))
        return s;
    FileNode& node = *open->node;
    node.attributes =
        (node.attributes & kFileAttributeReparsePoint) | (attributes & kSettableAttributes);
    return kErrorSuccess;
}

void ModelPlatform::closeFile(FileHandle handle) {
    m_impl->files.erase(handle);
}

// ---- Handle-relative work: names are looked up in the open folder's node itself, so a
// folder renamed or replaced meanwhile changes nothing for its handle ----

namespace {

constexpr std::uint32_t kSynchronize = 0x100000;
constexpr std::uint32_t kWritingRights = kFileWriteData | 0x4;  // with FILE_APPEND_DATA

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/") == std::string::npos;
}

}  // namespace

Status ModelPlatform::openPlaceFolder(const std::string& folder, FileHandle* handle) {
    *handle = kNoFile;
    m_impl->enterCall("openPlaceFolder", folder);
    const FileLookup found = m_impl->lookupFile(folder);
    if (!found.node)
        return found.status;
    if (Status s = m_impl->injected("openPlaceFolder", found.canonical))
        return s;
    if (!found.node->folder)
        return kErrorPathNotFound;
    *handle = m_impl->nextFile++;
    m_impl->files[*handle] =
        OpenFile{found.node, found.canonical, nullptr, kFileRightTraverse | kFileReadAttributes};
    return kErrorSuccess;
}

Status ModelPlatform::openBelow(FileHandle folder, const std::string& name, std::uint32_t access,
                                OpenMode mode, FileHandle* handle) {
    const bool backup = mode == OpenMode::BackupIntent;
    *handle = kNoFile;
    const OpenFile* parent = m_impl->openFile(folder);
    if (!parent)
        return kErrorInvalidHandle;
    const std::string canonical = parent->canonical + "\\" + name;
    m_impl->enterCall("openBelow", canonical);
    if (!IsPlainName(name))
        return kErrorInvalidName;
    if (!parent->node->folder)
        return kErrorPathNotFound;
    const auto node = parent->node->child(name);
    if (!node)
        return kErrorFileNotFound;
    if (Status s = m_impl->injected("openBelow", canonical))
        return s;
    const std::uint32_t wanted = MapGenericRights(access, ObjectKind::File) & ~kSynchronize;
    if (!(backup && m_impl->backupPrivilegesEnabled)) {
        if (Status s = CheckAccess(node->access, wanted, ObjectKind::File))
            return s;
    }
    // The read-only attribute refuses writing whatever the privileges.
    if (!node->folder && (node->attributes & kFileAttributeReadOnly) && (wanted & kWritingRights))
        return kErrorAccessDenied;
    *handle = m_impl->nextFile++;
    m_impl->files[*handle] = OpenFile{node, JoinPath(SplitFilePath(canonical)), parent->node,
                                      wanted, backup && m_impl->backupPrivilegesEnabled};
    return kErrorSuccess;
}

Status ModelPlatform::createBelow(FileHandle folder, const std::string& name, std::uint32_t access,
                                  OpenMode mode, FileHandle* handle) {
    const bool backup = mode == OpenMode::BackupIntent;
    *handle = kNoFile;
    const OpenFile* parent = m_impl->openFile(folder);
    if (!parent)
        return kErrorInvalidHandle;
    const std::string canonical = JoinPath(SplitFilePath(parent->canonical + "\\" + name));
    m_impl->enterCall("createBelow", canonical);
    if (!IsPlainName(name))
        return kErrorInvalidName;
    if (!parent->node->folder)
        return kErrorPathNotFound;
    if (Status s = m_impl->injected("createBelow", canonical))
        return s;
    if (parent->node->child(name))
        return kErrorFileExists;
    // FILE_ADD_FILE on the folder.
    if (!(backup && m_impl->backupPrivilegesEnabled)) {
        if (Status s = CheckAccess(parent->node->access, kFileWriteData, ObjectKind::File))
            return s;
    }
    auto node = std::make_shared<FileNode>();
    node->name = name;
    node->attributes = kFileAttributeArchive;
    node->text = std::string();
    parent->node->adopt(node);
    const std::shared_ptr<FileNode> holder = parent->node;
    *handle = m_impl->nextFile++;
    m_impl->files[*handle] =
        OpenFile{node, canonical, holder, MapGenericRights(access, ObjectKind::File),
                 backup && m_impl->backupPrivilegesEnabled};
    return kErrorSuccess;
}

Status ModelPlatform::deleteOpenFile(FileHandle handle) {
    OpenFile* open = nullptr;
    if (Status s = m_impl->reachOpenFile(handle, "deleteOpenFile", "deleteFile", &open))
        return s;
    if (!(open->granted & kDelete))
        return kErrorAccessDenied;
    // STATUS_CANNOT_DELETE for a read-only file; a folder must be empty.
    if (open->node->attributes & kFileAttributeReadOnly)
        return kErrorAccessDenied;
    if (open->node->folder && !open->node->children.empty())
        return 145;  // ERROR_DIR_NOT_EMPTY
    if (!open->parent || !open->parent->remove(open->node.get()))
        return kErrorFileNotFound;
    return kErrorSuccess;
}

Status ModelPlatform::renameOpenFile(FileHandle handle, FileHandle folder,
                                     const std::string& name) {
    OpenFile* open = m_impl->openFile(handle);
    const OpenFile* into = m_impl->openFile(folder);
    if (!open || !into)
        return kErrorInvalidHandle;
    const std::string canonical = JoinPath(SplitFilePath(into->canonical + "\\" + name));
    m_impl->enterCall("renameOpenFile", canonical);
    if (!IsPlainName(name))
        return kErrorInvalidName;
    if (Status s = m_impl->injected("renameOpenFile", canonical))
        return s;
    if (!(open->granted & kDelete))
        return kErrorAccessDenied;
    if (!open->parent || !into->node->folder)
        return kErrorInvalidParameter;
    const auto existing = into->node->child(name);
    if (existing && existing != open->node) {
        // Only a file that could be deleted, and that nobody holds open, is replaced.
        if (existing->folder || (existing->attributes & kFileAttributeReadOnly))
            return kErrorAccessDenied;
        for (const auto& [other, held] : m_impl->files) {
            if (held.node == existing)
                return kErrorAccessDenied;
        }
        into->node->remove(existing.get());
    }
    open->parent->remove(open->node.get());
    open->node->name = name;
    into->node->adopt(open->node);
    open->parent = into->node;
    open->canonical = canonical;
    return kErrorSuccess;
}

std::size_t ModelPlatform::openFileCount() const {
    return m_impl->files.size();
}

}  // namespace brenvik::model
