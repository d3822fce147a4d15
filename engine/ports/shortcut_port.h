// Reading and rewriting shortcut (.lnk) files through the shell link object: the arguments the
// Internet Explorer rules read, and the target, arguments and icon the browser rules read.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "engine/ports/file_port.h"
#include "engine/ports/open_mode.h"
#include "engine/ports/win_status.h"

namespace brenvik {

// Which fields of ShortcutProperties a call reads or writes.
constexpr std::uint32_t kShortcutTarget = 0x1;     // IShellLinkW GetPath (raw) / SetPath
constexpr std::uint32_t kShortcutArguments = 0x2;  // GetArguments / SetArguments
constexpr std::uint32_t kShortcutIcon = 0x4;       // GetIconLocation, the file without its index

// Text is UTF-8, each field at most 4095 UTF-16 units (the getters' 4096-unit buffers).
struct ShortcutProperties {
    std::uint32_t mask = 0;
    std::string target;
    std::string arguments;
    std::string iconPath;  // empty when none is set
};

// The properties that ask for, or set, the arguments alone (what the Internet Explorer rules
// read and clear).
inline ShortcutProperties ShortcutArguments(std::string arguments = std::string()) {
    ShortcutProperties properties;
    properties.mask = kShortcutArguments;
    properties.arguments = std::move(arguments);
    return properties;
}

// The properties that set a new target with its arguments.
inline ShortcutProperties ShortcutTarget(std::string target, std::string arguments) {
    ShortcutProperties properties;
    properties.mask = kShortcutTarget | kShortcutArguments;
    properties.target = std::move(target);
    properties.arguments = std::move(arguments);
    return properties;
}

class ShortcutReader {
public:
    virtual ~ShortcutReader() = default;

    // Loads the shortcut at linkPath once and fills the fields properties->mask asks for; the
    // others are left empty. The error that loading met (ERROR_ACCESS_DENIED when the file
    // refuses reading) leaves every field empty. BackupIntent reads the file's bytes with
    // FILE_FLAG_BACKUP_SEMANTICS and loads the link from them as a stream.
    virtual Status readShortcut(const std::string& linkPath, OpenMode mode,
                                ShortcutProperties* properties) = 0;
};

class ShortcutPort : public ShortcutReader {
public:
    // Loads the shortcut, sets the fields properties.mask names (the icon is never set) and
    // saves it to the same path; everything else (working folder, icon, hot key, show command,
    // description) stays as loaded. 0 only when loading, setting and saving all succeeded.
    // BackupIntent saves the link as a stream written over the file's bytes with
    // FILE_FLAG_BACKUP_SEMANTICS.
    virtual Status writeShortcut(const std::string& linkPath, OpenMode mode,
                                 const ShortcutProperties& properties) = 0;
    // writeShortcut on an open file: loaded from its bytes (IPersistStream) and saved back
    // through the same handle (FILE_READ_DATA and FILE_WRITE_DATA), flushed.
    virtual Status rewriteShortcut(FileHandle file, const ShortcutProperties& properties) = 0;
};

}  // namespace brenvik
