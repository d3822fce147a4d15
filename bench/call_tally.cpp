#include "bench/call_tally.h"

namespace brenvik::bench {

const char* PortOpName(PortOp op) {
    static const char* const kNames[] = {"openKey",
                                         "openKeyForBackup",
                                         "createKey",
                                         "querySubkeyCount",
                                         "enumKey",
                                         "queryValue",
                                         "setValue",
                                         "deleteKey",
                                         "deleteKeyForBackup",
                                         "closeKey",
                                         "findFirst",
                                         "findNext",
                                         "findClose",
                                         "getAttributes",
                                         "setAttributes",
                                         "deleteFile",
                                         "deleteFileForBackup",
                                         "getLinkCount",
                                         "readFileText",
                                         "readFileTextForBackup",
                                         "readShortcut",
                                         "readShortcutForBackup",
                                         "writeShortcut",
                                         "writeShortcutForBackup",
                                         "readAccessList",
                                         "writeAccessList",
                                         "enableBackupPrivileges",
                                         "openFileSecurity",
                                         "queryFileIdentity",
                                         "readFileAccessList",
                                         "writeFileAccessList",
                                         "setFileAttributes (handle)",
                                         "closeFile",
                                         "secureFolder",
                                         "writeDurably",
                                         "appendDurably",
                                         "readFile (store)",
                                         "listFiles (store)",
                                         "removeFile (store)",
                                         "knownFolder",
                                         "openPlaceFolder",
                                         "openBelow",
                                         "createBelow",
                                         "readFileData",
                                         "writeFileData",
                                         "deleteOpenFile",
                                         "renameOpenFile",
                                         "rewriteShortcut",
                                         "enumValueName",
                                         "setText",
                                         "deleteValue",
                                         "listTasks",
                                         "readTask",
                                         "deleteTask",
                                         "registerTask"};
    static_assert(sizeof kNames / sizeof kNames[0] == static_cast<std::size_t>(PortOp::Count));
    return kNames[static_cast<std::size_t>(op)];
}

namespace {

PortOp Moded(OpenMode mode, PortOp asIs, PortOp backupIntent) {
    return mode == OpenMode::BackupIntent ? backupIntent : asIs;
}

}  // namespace

// ---- RegistryPort ----

Status TallyingPorts::openKey(RegKey parent, const std::string& path, std::uint32_t access,
                              RegKey* key, OpenMode mode) {
    return timed(Moded(mode, PortOp::OpenKey, PortOp::OpenKeyForBackup),
                 [&] { return m_inner.registry.openKey(parent, path, access, key, mode); });
}

Status TallyingPorts::createKey(RegKey parent, const std::string& path, std::uint32_t access,
                                RegKey* key) {
    return timed(PortOp::CreateKey,
                 [&] { return m_inner.registry.createKey(parent, path, access, key); });
}

Status TallyingPorts::querySubkeyCount(RegKey key, std::uint32_t* count) {
    return timed(PortOp::QuerySubkeyCount,
                 [&] { return m_inner.registry.querySubkeyCount(key, count); });
}

Status TallyingPorts::enumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) {
    return timed(PortOp::EnumKey, [&] { return m_inner.registry.enumKey(key, index, name, size); });
}

Status TallyingPorts::queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) {
    return timed(PortOp::QueryValue,
                 [&] { return m_inner.registry.queryValue(key, valueName, type, data, size); });
}

Status TallyingPorts::enumValueName(RegKey key, std::uint32_t index, std::string* name) {
    return timed(PortOp::EnumValueName,
                 [&] { return m_inner.registry.enumValueName(key, index, name); });
}

Status TallyingPorts::setText(RegKey key, const std::string& valueName, std::uint32_t type,
                              const std::string& text) {
    return timed(PortOp::SetText,
                 [&] { return m_inner.registry.setText(key, valueName, type, text); });
}

Status TallyingPorts::deleteValue(RegKey key, const std::string& valueName) {
    return timed(PortOp::DeleteValue, [&] { return m_inner.registry.deleteValue(key, valueName); });
}

Status TallyingPorts::setValue(RegKey key, const std::string& valueName, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
    return timed(PortOp::SetValue,
                 [&] { return m_inner.registry.setValue(key, valueName, type, data, size); });
}

Status TallyingPorts::deleteKey(RegKey parent, const std::string& path, OpenMode mode) {
    return timed(Moded(mode, PortOp::DeleteKey, PortOp::DeleteKeyForBackup),
                 [&] { return m_inner.registry.deleteKey(parent, path, mode); });
}

void TallyingPorts::closeKey(RegKey key) {
    timed(PortOp::CloseKey, [&] { m_inner.registry.closeKey(key); });
}

// ---- FilePort ----

FindHandle TallyingPorts::findFirst(const std::string& pattern, FindEntry* entry, Status* error) {
    return timed(PortOp::FindFirst, [&] { return m_inner.files.findFirst(pattern, entry, error); });
}

bool TallyingPorts::findNext(FindHandle handle, FindEntry* entry, Status* error) {
    return timed(PortOp::FindNext, [&] { return m_inner.files.findNext(handle, entry, error); });
}

void TallyingPorts::findClose(FindHandle handle) {
    timed(PortOp::FindClose, [&] { m_inner.files.findClose(handle); });
}

std::uint32_t TallyingPorts::getAttributes(const std::string& path) {
    return timed(PortOp::GetAttributes, [&] { return m_inner.files.getAttributes(path); });
}

bool TallyingPorts::setAttributes(const std::string& path, std::uint32_t attributes) {
    return timed(PortOp::SetAttributes,
                 [&] { return m_inner.files.setAttributes(path, attributes); });
}

Status TallyingPorts::deleteFile(const std::string& path, OpenMode mode) {
    return timed(Moded(mode, PortOp::DeleteFile, PortOp::DeleteFileForBackup),
                 [&] { return m_inner.files.deleteFile(path, mode); });
}

Status TallyingPorts::getLinkCount(const std::string& path, std::uint32_t* count) {
    return timed(PortOp::GetLinkCount, [&] { return m_inner.files.getLinkCount(path, count); });
}

Status TallyingPorts::readFileText(const std::string& path, std::string* text, OpenMode mode) {
    return timed(Moded(mode, PortOp::ReadFileText, PortOp::ReadFileTextForBackup),
                 [&] { return m_inner.files.readFileText(path, text, mode); });
}

// ---- ShortcutPort ----

Status TallyingPorts::readShortcut(const std::string& linkPath, OpenMode mode,
                                   ShortcutProperties* properties) {
    return timed(Moded(mode, PortOp::ReadShortcut, PortOp::ReadShortcutForBackup),
                 [&] { return m_inner.shortcuts.readShortcut(linkPath, mode, properties); });
}

Status TallyingPorts::writeShortcut(const std::string& linkPath, OpenMode mode,
                                    const ShortcutProperties& properties) {
    return timed(Moded(mode, PortOp::WriteShortcut, PortOp::WriteShortcutForBackup),
                 [&] { return m_inner.shortcuts.writeShortcut(linkPath, mode, properties); });
}

Status TallyingPorts::rewriteShortcut(FileHandle file, const ShortcutProperties& properties) {
    return timed(PortOp::RewriteShortcut,
                 [&] { return m_inner.shortcuts.rewriteShortcut(file, properties); });
}

// ---- AccessPort ----

Status TallyingPorts::readAccessList(const std::string& objectName, SecurityObjectType type,
                                     AccessList* list) {
    return timed(PortOp::ReadAccessList,
                 [&] { return m_inner.access.readAccessList(objectName, type, list); });
}

Status TallyingPorts::writeAccessList(const std::string& objectName, SecurityObjectType type,
                                      const AccessList& list) {
    return timed(PortOp::WriteAccessList,
                 [&] { return m_inner.access.writeAccessList(objectName, type, list); });
}

Status TallyingPorts::enableBackupPrivileges() {
    return timed(PortOp::EnableBackupPrivileges,
                 [&] { return m_inner.access.enableBackupPrivileges(); });
}

// ---- FileSecurityPort ----

Status TallyingPorts::openFileSecurity(const std::string& path, FileHandle* handle) {
    return timed(PortOp::OpenFileSecurity,
                 [&] { return m_inner.fileSecurity.openFileSecurity(path, handle); });
}

Status TallyingPorts::queryFileIdentity(FileHandle handle, FileIdentity* identity) {
    return timed(PortOp::QueryFileIdentity,
                 [&] { return m_inner.fileSecurity.queryFileIdentity(handle, identity); });
}

Status TallyingPorts::readFileAccessList(FileHandle handle, AccessList* list) {
    return timed(PortOp::ReadFileAccessList,
                 [&] { return m_inner.fileSecurity.readFileAccessList(handle, list); });
}

Status TallyingPorts::writeFileAccessList(FileHandle handle, const AccessList& list) {
    return timed(PortOp::WriteFileAccessList,
                 [&] { return m_inner.fileSecurity.writeFileAccessList(handle, list); });
}

Status TallyingPorts::setFileAttributes(FileHandle handle, std::uint32_t attributes) {
    return timed(PortOp::SetFileAttributes,
                 [&] { return m_inner.fileSecurity.setFileAttributes(handle, attributes); });
}

void TallyingPorts::closeFile(FileHandle handle) {
    timed(PortOp::CloseFile, [&] { m_inner.fileSecurity.closeFile(handle); });
}

// ---- StorePort ----

Status TallyingPorts::secureFolder(const std::string& folder, bool* trusted) {
    return timed(PortOp::SecureFolder, [&] { return m_inner.store.secureFolder(folder, trusted); });
}

Status TallyingPorts::writeDurably(const std::string& path, const std::string& bytes) {
    return timed(PortOp::WriteDurably, [&] { return m_inner.store.writeDurably(path, bytes); });
}

Status TallyingPorts::appendDurably(const std::string& path, const std::string& bytes) {
    return timed(PortOp::AppendDurably, [&] { return m_inner.store.appendDurably(path, bytes); });
}

Status TallyingPorts::readFile(const std::string& path, std::string* bytes) {
    return timed(PortOp::ReadStoreFile, [&] { return m_inner.store.readFile(path, bytes); });
}

Status TallyingPorts::listFiles(const std::string& folder, std::vector<std::string>* names) {
    return timed(PortOp::ListStoreFiles, [&] { return m_inner.store.listFiles(folder, names); });
}

Status TallyingPorts::removeFile(const std::string& path) {
    return timed(PortOp::RemoveStoreFile, [&] { return m_inner.store.removeFile(path); });
}

// ---- KnownFolderPort ----

Status TallyingPorts::knownFolder(KnownFolder id, std::string* path) {
    return timed(PortOp::KnownFolder, [&] { return m_inner.knownFolders.knownFolder(id, path); });
}

// ---- Handle-relative file work ----

Status TallyingPorts::openPlaceFolder(const std::string& folder, FileHandle* handle) {
    return timed(PortOp::OpenPlaceFolder,
                 [&] { return m_inner.fileSecurity.openPlaceFolder(folder, handle); });
}

Status TallyingPorts::openBelow(FileHandle folder, const std::string& name, std::uint32_t access,
                                OpenMode mode, FileHandle* handle) {
    return timed(PortOp::OpenBelow, [&] {
        return m_inner.fileSecurity.openBelow(folder, name, access, mode, handle);
    });
}

Status TallyingPorts::createBelow(FileHandle folder, const std::string& name, std::uint32_t access,
                                  OpenMode mode, FileHandle* handle) {
    return timed(PortOp::CreateBelow, [&] {
        return m_inner.fileSecurity.createBelow(folder, name, access, mode, handle);
    });
}

Status TallyingPorts::readFileData(FileHandle handle, std::uint64_t limit, std::string* bytes) {
    return timed(PortOp::ReadFileData,
                 [&] { return m_inner.fileSecurity.readFileData(handle, limit, bytes); });
}

Status TallyingPorts::writeFileData(FileHandle handle, const std::string& bytes) {
    return timed(PortOp::WriteFileData,
                 [&] { return m_inner.fileSecurity.writeFileData(handle, bytes); });
}

Status TallyingPorts::deleteOpenFile(FileHandle handle) {
    return timed(PortOp::DeleteOpenFile,
                 [&] { return m_inner.fileSecurity.deleteOpenFile(handle); });
}

Status TallyingPorts::renameOpenFile(FileHandle handle, FileHandle folder,
                                     const std::string& name) {
    return timed(PortOp::RenameOpenFile,
                 [&] { return m_inner.fileSecurity.renameOpenFile(handle, folder, name); });
}

Status TallyingPorts::listTasks(std::vector<std::string>* names,
                                std::vector<TaskFolderError>* unlisted) {
    return timed(PortOp::ListTasks, [&] { return m_inner.tasks.listTasks(names, unlisted); });
}

Status TallyingPorts::readTask(const std::string& name, TaskDefinition* task) {
    return timed(PortOp::ReadTask, [&] { return m_inner.tasks.readTask(name, task); });
}

Status TallyingPorts::deleteTask(const std::string& name, const std::string& expectedXml) {
    return timed(PortOp::DeleteTask, [&] { return m_inner.tasks.deleteTask(name, expectedXml); });
}

Status TallyingPorts::registerTask(const std::string& name, const std::string& xml) {
    return timed(PortOp::RegisterTask, [&] { return m_inner.tasks.registerTask(name, xml); });
}

}  // namespace brenvik::bench
