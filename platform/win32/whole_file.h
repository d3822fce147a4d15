// Small files read or written whole through a handle their caller opened as it needs
// (sharing, backup semantics, reparse points).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/ports/win_status.h"

namespace brenvik {

// Every byte of file, or ERROR_INVALID_DATA without reading when it is larger than limit.
// A file that shrinks meanwhile is read as it is now.
Status ReadWholeFile(HANDLE file, std::uint64_t limit, std::string* bytes);

// Every byte written at the handle's position and flushed to the disk before this returns;
// ERROR_WRITE_FAULT when fewer were written.
Status WriteDurably(HANDLE file, const std::string& bytes);

// The file's bytes replaced: written from its start, its end set after them, flushed to the
// disk before this returns.
Status RewriteDurably(HANDLE file, const std::string& bytes);

}  // namespace brenvik
