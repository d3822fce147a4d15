// Reaching a file below one of the place folders through handles only: each name part is
// opened relative to its parent and a reparse point anywhere below the place is refused, so
// that a folder swapped for a junction between two calls leads nowhere outside the place.
#pragma once

#include <string>
#include <vector>

#include "engine/ports/file_port.h"

namespace brenvik {

// ERROR_BAD_PATHNAME: a path below none of the place folders, which no file call reaches.
constexpr Status kErrorNotBelowPlace = 161;

// The rights every open of a file to be changed asks for besides its own: its identity,
// bytes, list and attributes are read through the same handle.
constexpr std::uint32_t kFileCaptureRights =
    kFileRightReadData | kFileRightReadAttributes | kFileRightReadControl;

// An open file with its parent folder, both checked.
struct PlacedFile {
    explicit PlacedFile(FileSecurityPort& port) : folder(port), file(port) {}
    ScopedFile folder;
    ScopedFile file;  // empty when only the folder was asked for
    FileIdentity identity;
    std::string name;  // the last part, as the path spells it
};

// The folder of path's file (the place itself or a folder below it) opened through the
// outermost place folder that holds path (places end in a backslash or not): every part
// below the place is opened on its parent's handle, none a reparse point
// (ERROR_CANT_ACCESS_FILE), each a folder (ERROR_PATH_NOT_FOUND otherwise). Every open is
// made in the given mode. The file itself is not opened.
Status OpenPlacedFolder(FileSecurityPort& port, const std::vector<std::string>& places,
                        const std::string& path, OpenMode mode, PlacedFile* placed);

// The file itself as well, with the given rights: refused (ERROR_CANT_ACCESS_FILE) when it is
// a reparse point or, not being a folder, has more than one hard link.
Status OpenPlacedFile(FileSecurityPort& port, const std::vector<std::string>& places,
                      const std::string& path, std::uint32_t access, OpenMode mode,
                      PlacedFile* placed);

// The check OpenPlacedFile makes of an object opened below a folder.
Status CheckUnlinked(const FileIdentity& identity);

}  // namespace brenvik
