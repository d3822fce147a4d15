// An in-memory Windows: registry, folder tree, shortcuts and access lists behind the ports,
// returning what Win32 returns. Used by the native tests; it can inject failures.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/ports/ports.h"

namespace brenvik::model {

struct ModelValue {
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
};

// Well-known SIDs the model's process runs with.
constexpr const char* kAdministratorsSid = "S-1-5-32-544";
constexpr const char* kSystemSid = "S-1-5-18";

// The default access list of new keys and files: administrators and SYSTEM have full
// control, nothing else (the process runs as an administrator, see callerSids()).
AccessList DefaultAccessList();

class ModelPlatform final : public RegistryPort,
                            public FilePort,
                            public ShortcutPort,
                            public AccessPort {
public:
    ModelPlatform();
    ~ModelPlatform() override;
    ModelPlatform(const ModelPlatform&) = delete;
    ModelPlatform& operator=(const ModelPlatform&) = delete;

    Ports ports() { return Ports{*this, *this, *this, *this}; }

    // The SIDs of the model's process: Everyone, Administrators (the owner of every object,
    // so READ_CONTROL and WRITE_DAC are always granted), Users and Authenticated Users.
    static const std::vector<std::string>& callerSids();

    // ---- RegistryPort ----
    Status openKey(RegKey parent, const std::string& path, std::uint32_t access,
                   RegKey* key) override;
    Status createKey(RegKey parent, const std::string& path, std::uint32_t access,
                     RegKey* key) override;
    Status querySubkeyCount(RegKey key, std::uint32_t* count) override;
    Status enumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) override;
    Status queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* size) override;
    Status setValue(RegKey key, const std::string& valueName, std::uint32_t type,
                    const std::uint8_t* data, std::uint32_t size) override;
    Status deleteKey(RegKey parent, const std::string& path) override;
    void closeKey(RegKey key) override;

    // ---- FilePort ----
    FindHandle findFirst(const std::string& pattern, FindEntry* entry) override;
    bool findNext(FindHandle handle, FindEntry* entry) override;
    void findClose(FindHandle handle) override;
    std::uint32_t getAttributes(const std::string& path) override;
    bool setAttributes(const std::string& path, std::uint32_t attributes) override;
    bool deleteFile(const std::string& path) override;
    Status getLinkCount(const std::string& path, std::uint32_t* count) override;

    // ---- ShortcutPort ----
    std::string readLinkArguments(const std::string& linkPath) override;
    bool writeLinkArguments(const std::string& linkPath, const std::string& arguments) override;

    // ---- AccessPort ----
    Status readAccessList(const std::string& objectName, SecurityObjectType type,
                          AccessList* list) override;
    Status writeAccessList(const std::string& objectName, SecurityObjectType type,
                           const AccessList& list) override;

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

    // File paths are absolute Windows paths ("C:\Users\u\Desktop\a.lnk"); missing parent
    // folders are created. Names compare without letter case and keep their spelling.
    void addFolder(const std::string& path);
    void addFile(const std::string& path, std::uint32_t attributes = kFileAttributeArchive);
    // A shortcut file holding the given target and arguments.
    void addShortcut(const std::string& path, const std::string& target,
                     const std::string& arguments,
                     std::uint32_t attributes = kFileAttributeArchive);
    void setFileAccessList(const std::string& path, const AccessList& list);
    void setLinkCount(const std::string& path, std::uint32_t count);
    void setReparsePoint(const std::string& path);

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
    // As GetFileAttributesA reports them: FILE_ATTRIBUTE_NORMAL for a file with no attributes,
    // kInvalidFileAttributes for a missing path.
    std::uint32_t fileAttributes(const std::string& path) const;
    AccessList fileAccessList(const std::string& path) const;
    std::optional<std::string> shortcutTarget(const std::string& path) const;
    std::optional<std::string> shortcutArguments(const std::string& path) const;
    // Names directly in a folder, in listing order.
    std::vector<std::string> folderEntries(const std::string& path) const;

    // Open keys and listings not yet closed: both must be 0 after every rule.
    std::size_t openKeyCount() const;
    std::size_t openFindCount() const;
    // Every access list written through writeAccessList, in order, as (object name, list).
    const std::vector<std::pair<std::string, AccessList>>& accessWrites() const;

    // ---- Faults ----
    // The next calls of the named operation on the object fail with the code (until cleared).
    // op is one of: "openKey", "createKey", "querySubkeyCount", "enumKey", "queryValue",
    // "setValue", "deleteKey", "findFirst", "findNext", "setAttributes", "deleteFile",
    // "readLinkArguments", "writeLinkArguments", "readAccessList", "writeAccessList".
    // object is a registry path "ROOT\path" as the access port names it
    // ("MACHINE\Software\..."), or a file path; "*" matches every object.
    void injectFailure(const std::string& op, const std::string& object, Status code);
    void clearFailures();
    // A file that disappears right after it has been listed (before it can be read).
    void vanishAfterListing(const std::string& path);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace brenvik::model
