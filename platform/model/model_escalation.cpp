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

Status ModelPlatform::openKeyForBackup(RegKey parent, const std::string& path, std::uint32_t access,
                                       RegKey* key) {
    *key = kNoKey;
    if (!m_impl->backupPrivilegesEnabled)
        return openKey(parent, path, access, key);
    OpenKeyRecord from;
    if (Status s = m_impl->resolveKey(parent, &from))
        return s;
    const std::vector<std::string> parts = SplitKeyPath(path);
    const std::string object = ChildObject(from.objectName, parts);
    if (Status s = m_impl->injected("openKeyForBackup", object))
        return s;
    auto node = m_impl->findKey(from.node, parts);
    if (!node)
        return kErrorFileNotFound;
    *key = m_impl->addHandle(node, object, kKeyAllAccess);
    return kErrorSuccess;
}

Status ModelPlatform::deleteKeyForBackup(RegKey parent, const std::string& path) {
    if (!m_impl->backupPrivilegesEnabled)
        return deleteKey(parent, path);
    return m_impl->deleteKey(parent, path, "deleteKeyForBackup", false);
}

Status ModelPlatform::deleteFileForBackup(const std::string& path) {
    if (!m_impl->backupPrivilegesEnabled)
        return deleteFile(path);
    const FileLookup found = m_impl->lookupFile(path);
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

Status ModelPlatform::readLinkArgumentsForBackup(const std::string& linkPath,
                                                 std::string* arguments) {
    arguments->clear();
    if (!m_impl->backupPrivilegesEnabled)
        return readLinkArguments(linkPath, arguments);
    FileNode* node = nullptr;
    if (Status s =
            m_impl->reachLinkFile(linkPath, "readLinkArgumentsForBackup", false, true, &node))
        return s;
    return m_impl->readShortcut(*node, arguments);
}

Status ModelPlatform::writeLinkArgumentsForBackup(const std::string& linkPath,
                                                  const std::string& arguments) {
    if (!m_impl->backupPrivilegesEnabled)
        return writeLinkArguments(linkPath, arguments);
    FileNode* node = nullptr;
    if (Status s =
            m_impl->reachLinkFile(linkPath, "writeLinkArgumentsForBackup", true, true, &node))
        return s;
    return m_impl->writeShortcut(*node, arguments);
}

// ---- FileSecurityPort: the handle keeps the node, whatever later happens to its name ----

Status ModelPlatform::openFileSecurity(const std::string& path, FileHandle* handle) {
    *handle = kNoFile;
    const FileLookup found = m_impl->lookupFile(path);
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
    m_impl->files[*handle] = {found.node, found.canonical};
    return kErrorSuccess;
}

Status ModelPlatform::queryFileIdentity(FileHandle handle, FileIdentity* identity) {
    const auto it = m_impl->files.find(handle);
    if (it == m_impl->files.end())
        return kErrorInvalidHandle;
    m_impl->securityCalls.push_back("queryFileIdentity " + it->second.second);
    identity->attributes = ReportedAttributes(*it->second.first);
    identity->links = it->second.first->links;
    return kErrorSuccess;
}

Status ModelPlatform::readFileAccessList(FileHandle handle, AccessList* list) {
    const auto it = m_impl->files.find(handle);
    if (it == m_impl->files.end())
        return kErrorInvalidHandle;
    m_impl->securityCalls.push_back("readFileAccessList " + it->second.second);
    *list = it->second.first->access;
    return kErrorSuccess;
}

Status ModelPlatform::writeFileAccessList(FileHandle handle, const AccessList& list) {
    const auto it = m_impl->files.find(handle);
    if (it == m_impl->files.end())
        return kErrorInvalidHandle;
    m_impl->securityCalls.push_back("writeFileAccessList " + it->second.second);
    if (Status s = m_impl->injected("writeFileAccessList", it->second.second))
        return s;
    it->second.first->access = list;
    m_impl->accessWrites.emplace_back(it->second.second, list);
    return kErrorSuccess;
}

Status ModelPlatform::setFileAttributes(FileHandle handle, std::uint32_t attributes) {
    const auto it = m_impl->files.find(handle);
    if (it == m_impl->files.end())
        return kErrorInvalidHandle;
    m_impl->securityCalls.push_back("setFileAttributes " + it->second.second);
    if (Status s = m_impl->injected("setFileAttributes", it->second.second))
        return s;
    FileNode& node = *it->second.first;
    node.attributes =
        (node.attributes & kFileAttributeReparsePoint) | (attributes & kSettableAttributes);
    return kErrorSuccess;
}

void ModelPlatform::closeFile(FileHandle handle) {
    m_impl->files.erase(handle);
}

std::size_t ModelPlatform::openFileCount() const {
    return m_impl->files.size();
}

}  // namespace brenvik::model
