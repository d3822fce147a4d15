// Scratch objects and helpers for the tests that run under Wine against the real platform:
// every object made here is removed again when its owner goes out of scope. Text is UTF-8.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ports/access_port.h"

namespace brenvik::test {

// True inside Wine (ntdll exports wine_get_version), where a few checks must be skipped.
bool IsWine();

// A name no other test run uses at the same time: "<prefix>-<pid>-<tick>-<serial>".
std::string UniqueName(const char* prefix);
// A fresh class identifier, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": a key named after it
// meets no other run's.
std::string NewClassId();

// Saves a real shortcut (IShellLinkW + IPersistFile) to target with arguments at path.
HRESULT CreateShortcut(const std::string& path, const std::string& target,
                       const std::string& arguments);
// The target path stored in the shortcut at path; empty when it cannot be loaded.
std::string ReadShortcutTarget(const std::string& path);

// Creates the folder and any missing parents.
bool MakeFolders(const std::string& path);
// Creates (or truncates) a file and sets its attributes.
bool MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
// Deletes a folder with everything in it, clearing read-only attributes on the way.
bool RemoveTree(const std::string& path);

// A fresh folder under parent (the temporary folder by default), removed with its contents.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& parent = std::string());
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Absolute, without a closing backslash.
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// A fresh key root\Software\BrenvikTest\<unique>, deleted with its subtree at the end (its
// access lists are opened first, so a test may leave a key locked).
class ScratchKey {
public:
    explicit ScratchKey(HKEY root = HKEY_CURRENT_USER);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY root() const { return m_root; }
    // Relative to root.
    const std::string& path() const { return m_path; }
    // "CURRENT_USER\Software\..." as the access port names it.
    std::string objectName() const;

private:
    HKEY m_root;
    std::string m_path;
};

// Deletes root\path with all its subkeys, opening locked access lists first. 0 on success.
LONG DeleteKeyTreeForcibly(HKEY root, const std::string& path);
// "MACHINE\", "CURRENT_USER\" or "CLASSES_ROOT\" followed by path.
std::string RegistryObjectName(HKEY root, const std::string& path);

// A text as the registry stores it: UTF-16 with its NUL.
std::vector<std::uint8_t> StoredText(const std::string& text);

// The DACL of a named key ("MACHINE\...") or file as SDDL ("D:..."); empty on failure.
std::string ReadSddl(const std::string& objectName, SecurityObjectType type);
// Replaces the DACL of a named key or file by the one in sddl ("D:P(A;;KA;;;BA)",
// "D:NO_ACCESS_CONTROL" for a null DACL). The Win32 error code, 0 on success.
DWORD WriteSddl(const std::string& objectName, SecurityObjectType type, const std::string& sddl);

// Sets a value of HKCU\...\Explorer\Shell Folders ("Desktop", "AppData") for a scope and puts
// the previous value back (or deletes the value if there was none) at the end.
class ScopedShellFolder {
public:
    // The text and its NUL, as REG_SZ or REG_EXPAND_SZ. A REG_SZ text is set under User Shell
    // Folders too: asking for a known folder rewrites the Shell Folders value from its User
    // Shell Folders counterpart (Wine does so on every request), which would undo it mid-test.
    // Under HKEY_LOCAL_MACHINE the values are the common folders ("Common Desktop").
    ScopedShellFolder(const std::string& valueName, const std::string& text, DWORD type = REG_SZ,
                      HKEY root = HKEY_CURRENT_USER);
    // Exactly these bytes as stored (text as UTF-16), for values without a terminator or of
    // another type; Shell Folders only.
    ScopedShellFolder(const std::string& valueName, const std::vector<std::uint8_t>& data,
                      DWORD type);
    ~ScopedShellFolder();
    ScopedShellFolder(const ScopedShellFolder&) = delete;
    ScopedShellFolder& operator=(const ScopedShellFolder&) = delete;

    bool ok() const { return m_ok; }

private:
    struct SavedValue {
        HKEY root;
        const char* keyPath;
        bool hadValue = false;
        DWORD oldType = REG_NONE;
        std::vector<std::uint8_t> oldData{};
    };
    // Sets the value under keyPath, keeping what it held to put back.
    bool set(HKEY root, const char* keyPath, const std::vector<std::uint8_t>& data, DWORD type);

    std::string m_valueName;
    std::vector<SavedValue> m_saved;  // put back last first
    bool m_ok = false;
};

}  // namespace brenvik::test
