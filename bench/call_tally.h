// Ports that pass every call on to other ports and tally how often each operation ran and
// how long it took: shows where a scan spends its time and which calls it repeats.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "engine/ports/ports.h"

namespace brenvik::bench {

// One per port method, in the ports' order; a method that takes an OpenMode is tallied apart
// in each mode (the ...ForBackup rows), since escalation shows only there.
enum class PortOp : std::size_t {
    OpenKey,
    OpenKeyForBackup,
    CreateKey,
    QuerySubkeyCount,
    EnumKey,
    QueryValue,
    SetValue,
    DeleteKey,
    DeleteKeyForBackup,
    CloseKey,
    FindFirst,
    FindNext,
    FindClose,
    GetAttributes,
    SetAttributes,
    DeleteFile,
    DeleteFileForBackup,
    GetLinkCount,
    ReadFileText,
    ReadFileTextForBackup,
    ReadShortcut,
    ReadShortcutForBackup,
    WriteShortcut,
    WriteShortcutForBackup,
    ReadAccessList,
    WriteAccessList,
    EnableBackupPrivileges,
    OpenFileSecurity,
    QueryFileIdentity,
    ReadFileAccessList,
    WriteFileAccessList,
    SetFileAttributes,
    CloseFile,
    SecureFolder,
    WriteDurably,
    AppendDurably,
    ReadStoreFile,
    ListStoreFiles,
    RemoveStoreFile,
    KnownFolder,
    OpenPlaceFolder,
    OpenBelow,
    CreateBelow,
    ReadFileData,
    WriteFileData,
    DeleteOpenFile,
    RenameOpenFile,
    RewriteShortcut,
    EnumValueName,
    SetText,
    DeleteValue,
    ListTasks,
    ReadTask,
    DeleteTask,
    RegisterTask,
    Count
};

const char* PortOpName(PortOp op);

struct OpTally {
    std::size_t calls = 0;
    std::chrono::steady_clock::duration time{};
};

using CallTally = std::array<OpTally, static_cast<std::size_t>(PortOp::Count)>;

inline std::size_t Calls(const CallTally& tally, PortOp op) {
    return tally[static_cast<std::size_t>(op)].calls;
}

class TallyingPorts final : public RegistryPort,
                            public FilePort,
                            public ShortcutPort,
                            public AccessPort,
                            public FileSecurityPort,
                            public StorePort,
                            public KnownFolderPort,
                            public TaskPort {
public:
    explicit TallyingPorts(Ports& inner) : m_inner(inner) {}
    TallyingPorts(const TallyingPorts&) = delete;
    TallyingPorts& operator=(const TallyingPorts&) = delete;

    // The kept contents and the host are passed through untallied: no scan reads them.
    Ports ports() { return Ports(*this, m_inner.content, m_inner.host); }
    const CallTally& tally() const { return m_tally; }

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

    Status readShortcut(const std::string& linkPath, OpenMode mode,
                        ShortcutProperties* properties) override;
    Status writeShortcut(const std::string& linkPath, OpenMode mode,
                         const ShortcutProperties& properties) override;
    Status rewriteShortcut(FileHandle file, const ShortcutProperties& properties) override;

    Status readAccessList(const std::string& objectName, SecurityObjectType type,
                          AccessList* list) override;
    Status writeAccessList(const std::string& objectName, SecurityObjectType type,
                           const AccessList& list) override;
    Status enableBackupPrivileges() override;
    // Not tallied: no rule's cost depends on it.
    Status tokenUserSid(std::string* sid) override { return m_inner.access.tokenUserSid(sid); }

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

    Status secureFolder(const std::string& folder, bool* trusted) override;
    Status writeDurably(const std::string& path, const std::string& bytes) override;
    Status appendDurably(const std::string& path, const std::string& bytes) override;
    Status readFile(const std::string& path, std::string* bytes) override;
    Status listFiles(const std::string& folder, std::vector<std::string>* names) override;
    Status removeFile(const std::string& path) override;

    Status knownFolder(KnownFolder id, std::string* path) override;

    Status listTasks(std::vector<std::string>* names,
                     std::vector<TaskFolderError>* unlisted) override;
    Status readTask(const std::string& name, TaskDefinition* task) override;
    Status deleteTask(const std::string& name, const std::string& expectedXml) override;
    Status registerTask(const std::string& name, const std::string& xml) override;

private:
    // Runs call, adding one call and its duration to op's tally.
    template <typename Call>
    auto timed(PortOp op, Call call) {
        struct Stopwatch {
            OpTally& tally;
            std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
            ~Stopwatch() {
                ++tally.calls;
                tally.time += std::chrono::steady_clock::now() - start;
            }
        } stopwatch{m_tally[static_cast<std::size_t>(op)]};
        return call();
    }

    Ports& m_inner;
    CallTally m_tally{};
};

}  // namespace brenvik::bench
