// What the browser rules read of a shortcut beyond its arguments, the target they rewrite, and
// the text of an Internet shortcut (.url).
#pragma once

#include <string>

#include "engine/ports/file_port.h"
#include "engine/ports/win_status.h"

namespace brenvik {

// IShellLinkW's GetPath (raw, no resolving), GetArguments and GetIconLocation, as UTF-8.
struct LinkDetails {
    std::string target;
    std::string arguments;
    std::string iconPath;  // the icon file without its index; empty when none is set
};

class LinkDetailsPort {
public:
    virtual ~LinkDetailsPort() = default;

    // Loads the shortcut at linkPath. The error that loading met (ERROR_ACCESS_DENIED when the
    // file refuses reading) leaves details empty.
    virtual Status readLinkDetails(const std::string& linkPath, LinkDetails* details) = 0;
    // Loads the shortcut, sets its target path and its arguments and saves it to the same
    // path; working folder, icon, hot key, show command and description stay as loaded.
    virtual Status writeLinkTarget(const std::string& linkPath, const std::string& target,
                                   const std::string& arguments) = 0;
    // The file's bytes (at most 64 KiB; more is ERROR_INVALID_DATA), for an Internet shortcut.
    virtual Status readFileText(const std::string& path, std::string* text) = 0;

    // The same three with the file read and written through backup semantics.
    virtual Status readLinkDetailsForBackup(const std::string& linkPath, LinkDetails* details) = 0;
    virtual Status writeLinkTargetForBackup(const std::string& linkPath, const std::string& target,
                                            const std::string& arguments) = 0;
    virtual Status readFileTextForBackup(const std::string& path, std::string* text) = 0;
    // writeLinkTarget on an open file: loaded from its bytes and saved back through the same
    // handle (FILE_READ_DATA and FILE_WRITE_DATA), flushed.
    virtual Status rewriteLinkTarget(FileHandle file, const std::string& target,
                                     const std::string& arguments) = 0;
};

}  // namespace brenvik
