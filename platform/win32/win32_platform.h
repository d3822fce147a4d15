// The ports over the real Win32 calls (wide variants, UTF-8 at the edge), for brenvik.exe and
// the Wine tests.
#pragma once

#include "engine/ports/ports.h"
#include "platform/win32/win32_host.h"

namespace brenvik {

class Win32Platform final : public RegistryPort,
                            public FilePort,
                            public ShortcutPort,
                            public AccessPort,
                            public FileSecurityPort,
                            public StorePort,
                            public KnownFolderPort,
                            public ContentPort,
                            public TaskPort {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Ports ports() { return Ports(*this, *this, m_host); }

    // ---- RegistryPort ----
    Status openKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey* key,
                   OpenMode mode = OpenMode::AsIs) override;
    Status createKey(RegKey parent, const std::string& path, std::uint32_t access,
                     RegKey* key) override;
    Status querySubkeyCount(RegKey key, std::uint32_t* count) override;
    Status enumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) override;
    Status queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* size) override;
    Status setValue(RegKey key, const std::string& valueName, std::uint32_t type,
                    const std::uint8_t* data, std::uint32_t size) override;
    Status enumValueName(RegKey key, std::uint32_t index, std::string* name) override;
    Status setText(RegKey key, const std::string& valueName, std::uint32_t type,
                   const std::string& text) override;
    Status deleteValue(RegKey key, const std::string& valueName) override;
    Status deleteKey(RegKey parent, const std::string& path,
                     OpenMode mode = OpenMode::AsIs) override;
    void closeKey(RegKey key) override;

    // ---- FilePort ----
    FindHandle findFirst(const std::string& pattern, FindEntry* entry,
                         Status* error = nullptr) override;
    bool findNext(FindHandle handle, FindEntry* entry, Status* error = nullptr) override;
    void findClose(FindHandle handle) override;
    std::uint32_t getAttributes(const std::string& path) override;
    bool setAttributes(const std::string& path, std::uint32_t attributes) override;
    Status deleteFile(const std::string& path, OpenMode mode = OpenMode::AsIs) override;
    Status getLinkCount(const std::string& path, std::uint32_t* count) override;
    Status readFileText(const std::string& path, std::string* text,
                        OpenMode mode = OpenMode::AsIs) override;

    // ---- ShortcutPort ----
    // Each call initialises COM on the calling thread (CoInitialize(NULL)) and leaves it so.
    Status readShortcut(const std::string& linkPath, OpenMode mode,
                        ShortcutProperties* properties) override;
    Status writeShortcut(const std::string& linkPath, OpenMode mode,
                         const ShortcutProperties& properties) override;
    Status rewriteShortcut(FileHandle file, const ShortcutProperties& properties) override;

    // ---- AccessPort ----
    Status readAccessList(const std::string& objectName, SecurityObjectType type,
                          AccessList* list) override;
    Status writeAccessList(const std::string& objectName, SecurityObjectType type,
                           const AccessList& list) override;
    Status enableBackupPrivileges() override;
    Status tokenUserSid(std::string* sid) override;

    // ---- FileSecurityPort ----
    Status openFileSecurity(const std::string& path, FileHandle* handle) override;
    Status queryFileIdentity(FileHandle handle, FileIdentity* identity) override;
    Status readFileAccessList(FileHandle handle, AccessList* list) override;
    Status writeFileAccessList(FileHandle handle, const AccessList& list) override;
    Status setFileAttributes(FileHandle handle, std::uint32_t attributes) override;
    void closeFile(FileHandle handle) override;
    Status openPlaceFolder(const std::string& folder, FileHandle* handle) override;
    Status openBelow(FileHandle folder, const std::string& name, std::uint32_t access,
                     OpenMode mode, FileHandle* handle) override;
    Status createBelow(FileHandle folder, const std::string& name, std::uint32_t access,
                       OpenMode mode, FileHandle* handle) override;
    Status readFileData(FileHandle handle, std::uint64_t limit, std::string* bytes) override;
    Status writeFileData(FileHandle handle, const std::string& bytes) override;
    Status deleteOpenFile(FileHandle handle) override;
    Status renameOpenFile(FileHandle handle, FileHandle folder, const std::string& name) override;

    // ---- StorePort ----
    // Under %ProgramData%\Brenvik (SHGetKnownFolderPath(FOLDERID_ProgramData)).
    Status secureFolder(const std::string& folder, bool* trusted) override;
    Status writeDurably(const std::string& path, const std::string& bytes) override;
    Status appendDurably(const std::string& path, const std::string& bytes) override;
    Status readFile(const std::string& path, std::string* bytes) override;
    Status listFiles(const std::string& folder, std::vector<std::string>* names) override;
    Status removeFile(const std::string& path) override;

    // ---- KnownFolderPort ----
    Status knownFolder(KnownFolder id, std::string* path) override;

    // ---- ContentPort ----
    Status readFileBytes(const std::string& path, std::string* bytes,
                         OpenMode mode = OpenMode::AsIs) override;
    Status writeFileBytes(const std::string& path, const std::string& bytes, bool replace,
                          OpenMode mode = OpenMode::AsIs) override;
    Status enumValue(RegKey key, std::uint32_t index, ValueEntry* value) override;
    Status setValueBytes(RegKey key, const std::string& name, std::uint32_t type,
                         const std::string& data) override;

    // ---- TaskPort (win32_tasks.cpp) ----
    // Each call initialises COM on the calling thread (CoInitialize(NULL)) and leaves it so,
    // and connects to the scheduler anew.
    Status listTasks(std::vector<std::string>* names,
                     std::vector<TaskFolderError>* unlisted) override;
    Status readTask(const std::string& name, TaskDefinition* task) override;
    Status deleteTask(const std::string& name, const std::string& expectedXml) override;
    Status registerTask(const std::string& name, const std::string& xml) override;

private:
    // The BackupIntent forms (win32_backup.cpp).
    Status openKeyBackupIntent(RegKey parent, const std::string& path, std::uint32_t access,
                               RegKey* key);
    Status deleteKeyBackupIntent(RegKey parent, const std::string& path);
    Status deleteFileBackupIntent(const std::string& path);

    Win32Host m_host;
};

// The program's data folder, %ProgramData%\Brenvik (looked up once); empty when the shell
// gives no ProgramData folder. The store secures it before any file in it is trusted.
const std::wstring& DataFolderPath();

}  // namespace brenvik
