// Reading and rewriting the arguments of shortcut (.lnk) files.
#pragma once

#include <string>

#include "engine/ports/file_port.h"
#include "engine/ports/win_status.h"

namespace brenvik {

class ShortcutPort {
public:
    virtual ~ShortcutPort() = default;

    // The arguments text of the shortcut at linkPath (UTF-8, at most 4095 UTF-16 units). The
    // error that loading met (ERROR_ACCESS_DENIED when the file refuses reading) leaves it empty.
    virtual Status readLinkArguments(const std::string& linkPath, std::string* arguments) = 0;
    // Loads the shortcut, replaces its arguments and saves it to the same path, everything
    // else unchanged. 0 only when loading, setting and saving all succeeded.
    virtual Status writeLinkArguments(const std::string& linkPath,
                                      const std::string& arguments) = 0;
    // The same two, with the file's bytes read and written through backup semantics (the
    // backup and restore privileges) and the shell link loaded and saved as a stream.
    virtual Status readLinkArgumentsForBackup(const std::string& linkPath,
                                              std::string* arguments) = 0;
    virtual Status writeLinkArgumentsForBackup(const std::string& linkPath,
                                               const std::string& arguments) = 0;
    // The shortcut loaded from the bytes of an open file (IPersistStream), its arguments
    // replaced and saved back into the same file through the same handle, flushed. The handle
    // needs FILE_READ_DATA and FILE_WRITE_DATA.
    virtual Status rewriteLinkArguments(FileHandle file, const std::string& arguments) = 0;
};

}  // namespace brenvik
