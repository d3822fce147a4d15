// An in-memory Windows: registry, folder tree, shortcuts and access lists behind the ports,
// returning what Win32 returns. Used by the native tests; it can inject failures.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/ports/ports.h"
#include "platform/model/model_host.h"

namespace brenvik::model {

struct ModelValue {
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
};

// Well-known SIDs the model's process runs with.
constexpr const char* kAdministratorsSid = "S-1-5-32-544";
constexpr const char* kSystemSid = "S-1-5-18";
// The account the model's process runs as, until setTokenUserSid says otherwise.
constexpr const char* kModelUserSid = "S-1-5-21-7-7-7-1001";

// How a store file or folder that someone else planted or changed differs from one the
// program made. On Win32 each is a property of the object's owner, list, attributes or
// names; the model keeps just the flaw.
enum class StoreFlaw {
    None,
    ForeignOwner,           // owned by another account
    WritableByOthers,       // its list lets another account change it
    ReadOnly,               // the read-only attribute: the program sets it on none
    HardLinked,             // a second name elsewhere
    RefusesAdministrators,  // its list refuses the administrators
};

// The default access list of new keys and files: administrators and SYSTEM have full
// control, nothing else (the process runs as an administrator, see callerSids()).
AccessList DefaultAccessList();

class ModelPlatform final : public RegistryPort,
                            public FilePort,
                            public ShortcutPort,
                            public AccessPort,
                            public FileSecurityPort,
                            public StorePort,
                            public KnownFolderPort,
                            public ContentPort,
                            public TaskPort {
public:
    ModelPlatform();
    ~ModelPlatform() override;
    ModelPlatform(const ModelPlatform&) = delete;
    ModelPlatform& operator=(const ModelPlatform&) = delete;

    Ports ports() { return Ports(*this, *this, m_host); }
    // The clock and names of the model's reports; a test sets the clock through it.
    ModelHost& host() { return m_host; }

    // The SIDs of the model's process: Everyone, Administrators (the owner of every object,
    // so READ_CONTROL and WRITE_DAC are always granted), Users and Authenticated Users.
    static const std::vector<std::string>& callerSids();

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

    // ---- TaskPort ----
    // Folders are listed depth first, each folder's tasks before its subfolders, names in
    // order without letter case. A fault on "listTasks" with a folder ("\Folder") as its
    // object leaves that folder out as unlisted; one on "\" refuses the whole listing.
    Status listTasks(std::vector<std::string>* names,
                     std::vector<TaskFolderError>* unlisted) override;
    Status readTask(const std::string& name, TaskDefinition* task) override;
    Status deleteTask(const std::string& name, const std::string& expectedXml) override;
    // The Exec actions are read from the XML, as the scheduler parses a definition.
    Status registerTask(const std::string& name, const std::string& xml) override;

    // ---- Privileges and the program's store (not ports) ----
    // Whether the process holds the backup and restore privileges (it does by default, as an
    // administrator does); enableBackupPrivileges fails with ERROR_NOT_ALL_ASSIGNED otherwise.
    void setHoldsBackupPrivileges(bool held);
    // The account the process runs as from now on: HKEY_CURRENT_USER becomes its hive (a new,
    // empty one for an account not seen before); every hive stays reachable as
    // "USERS\<sid>\..." through the access port.
    void setTokenUserSid(const std::string& sid);
    bool backupPrivilegesEnabled() const;
    // A store folder ("" is the data folder) that somebody else made or can change, with what
    // it holds below: secureFolder moves it aside (to "<folder>.untrusted-<n>", the data
    // folder to "..\Brenvik.untrusted-<n>") and makes a fresh one. One that refuses the
    // administrators cannot be listed, read or written until then.
    void putForeignStoreFolder(const std::string& folder,
                               StoreFlaw flaw = StoreFlaw::WritableByOthers);
    // The store's files by path, as written, with what was moved aside.
    const std::map<std::string, std::string>& storeFiles() const;
    // A store file of any size; a flawed one is refused by readFile (ERROR_CANT_ACCESS_FILE,
    // or ERROR_ACCESS_DENIED when it refuses the administrators), and a read-only one by
    // removeFile, as Win32 refuses them.
    void putStoreFile(const std::string& path, const std::string& bytes,
                      StoreFlaw flaw = StoreFlaw::None);

    // ---- Building a world (not ports; never fail) ----
    // Registry paths are relative to a root (kHKeyLocalMachine, kHKeyCurrentUser,
    // kHKeyClassesRoot); missing parents are created. Names compare without letter case.
    void addKey(RegKey root, const std::string& path);
    void putValue(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
                  std::vector<std::uint8_t> data);
    // The text's bytes plus one NUL, so the size is length + 1.
    void putString(RegKey root, const std::string& path, const std::string& name,
                   const std::string& text, std::uint32_t type = kRegSz);
    void putDword(RegKey root, const std::string& path, const std::string& name,
                  std::uint32_t value);
    void setKeyAccessList(RegKey root, const std::string& path, const AccessList& list);
    // A registry link at root\path leading to targetRoot\targetPath (which need not exist).
    void addKeyLink(RegKey root, const std::string& path, RegKey targetRoot,
                    const std::string& targetPath);

    // File paths are absolute Windows paths ("C:\Users\u\Desktop\a.lnk"); missing parent
    // folders are created. Names compare without letter case and keep their spelling.
    void addFolder(const std::string& path);
    void addFile(const std::string& path, std::uint32_t attributes = kFileAttributeArchive);
    // A shortcut file holding the given target and arguments.
    void addShortcut(const std::string& path, const std::string& target,
                     const std::string& arguments,
                     std::uint32_t attributes = kFileAttributeArchive);
    // What a shortcut holds besides target and arguments; kept by every rewrite.
    void setShortcutIcon(const std::string& path, const std::string& iconPath);
    void setShortcutWorkingFolder(const std::string& path, const std::string& folder);
    // A file holding text (an Internet shortcut's "[InternetShortcut]\r\nURL=...").
    void addTextFile(const std::string& path, const std::string& text);
    // What knownFolder answers for id; a folder never set is ERROR_FILE_NOT_FOUND.
    void setKnownFolder(KnownFolder id, const std::string& path);
    void setFileAccessList(const std::string& path, const AccessList& list);
    void setLinkCount(const std::string& path, std::uint32_t count);
    void setReparsePoint(const std::string& path);
    // A junction at path (replacing whatever is there) that leads to the folder target: path
    // calls go through it as Win32 ones do; handle-relative opens see the junction itself.
    void addJunction(const std::string& path, const std::string& target);
    // Called as each file call begins, with the call's name ("readShortcut",
    // "openBelow", ...) and its object: a test replaces a folder between two calls with it.
    // Calls the hook itself makes do not call it again.
    void setCallHook(std::function<void(const std::string& op, const std::string& object)> hook);

    // A registered task (replacing one of that name), its actions read from its XML; with
    // actions given, those are what its definition gives whatever the XML says.
    void putTask(const std::string& name, const std::string& xml);
    void putTask(const std::string& name, const std::string& xml,
                 std::vector<TaskExecAction> actions);

    // ---- Inspecting a world ----
    bool hasKey(RegKey root, const std::string& path) const;
    std::optional<ModelValue> value(RegKey root, const std::string& path,
                                    const std::string& name) const;
    // Subkey names in enumeration order (sorted by upper-cased name, as Windows keeps them)
    // and value names in creation order.
    std::vector<std::string> subkeyNames(RegKey root, const std::string& path) const;
    std::vector<std::string> valueNames(RegKey root, const std::string& path) const;
    AccessList keyAccessList(RegKey root, const std::string& path) const;

    bool hasFile(const std::string& path) const;  // files and folders
    // As GetFileAttributesW reports them: FILE_ATTRIBUTE_NORMAL for a file with no attributes,
    // kInvalidFileAttributes for a missing path.
    std::uint32_t fileAttributes(const std::string& path) const;
    AccessList fileAccessList(const std::string& path) const;
    std::optional<std::string> shortcutTarget(const std::string& path) const;
    std::optional<std::string> shortcutArguments(const std::string& path) const;
    std::optional<std::string> shortcutIcon(const std::string& path) const;
    std::optional<std::string> shortcutWorkingFolder(const std::string& path) const;
    // A task's XML as registered; none when there is no task of that name.
    std::optional<std::string> taskXml(const std::string& name) const;
    // Names directly in a folder, in listing order.
    std::vector<std::string> folderEntries(const std::string& path) const;

    // Open keys and listings not yet closed: both must be 0 after every rule.
    std::size_t openKeyCount() const;
    std::size_t openFindCount() const;
    // Every access list written through writeAccessList, in order, as (object name, list).
    const std::vector<std::pair<std::string, AccessList>>& accessWrites() const;
    // Every call that reads or changes an object's security or identity, in order, as
    // "operation object": named list reads and writes, attribute writes, link counts, opens
    // for the file security port. A scan of objects that refuse nothing makes none.
    const std::vector<std::string>& securityCalls() const;
    std::size_t openFileCount() const;

    // ---- Faults ----
    // The next calls of the named operation on the object fail with the code (until cleared).
    // op is one of: "openKey", "createKey", "querySubkeyCount", "enumKey", "queryValue",
    // "setValue", "setText", "enumValueName", "deleteValue", "deleteKey", "findFirst", "findNext",
    // "setAttributes", "deleteFile", "readShortcut", "writeShortcut", "readFileText", "knownFolder"
    // (object: the folder's number), "readAccessList", "writeAccessList", "readFileBytes",
    // "writeFileBytes", "enumValue", "setValueBytes", and the ForBackup forms (the BackupIntent
    // mode with the privileges enabled), "openFileSecurity", "writeFileAccessList",
    // "setFileAttributes", "writeDurably", the store's "secureFolder", "appendDurably", "readFile",
    // "listFiles", "removeFile", and the handle calls "openBelow", "createBelow", "readFileData",
    // "writeFileData", "deleteOpenFile", "renameOpenFile" (object: the path of the name renamed
    // to), "rewriteShortcut", and the task calls "listTasks" (object: a folder), "readTask",
    // "deleteTask", "registerTask" (a name). object is a registry path "ROOT\path" as the access
    // port names it
    // ("MACHINE\Software\..."), or a file path; "*" matches every object.
    void injectFailure(const std::string& op, const std::string& object, Status code);
    void clearFailures();
    // A file that disappears right after it has been listed (before it can be read).
    void vanishAfterListing(const std::string& path);

private:
    // The BackupIntent forms: the list is not asked while both privileges are enabled.
    Status openKeyBackupIntent(RegKey parent, const std::string& path, std::uint32_t access,
                               RegKey* key);
    Status deleteFileBackupIntent(const std::string& path);
    Status readFileBytesBackupIntent(const std::string& path, std::string* bytes);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
    ModelHost m_host;
};

}  // namespace brenvik::model
