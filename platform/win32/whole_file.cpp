#include "platform/win32/whole_file.h"

#include <algorithm>

namespace brenvik {

Status ReadWholeFile(HANDLE file, std::uint64_t limit, std::string* bytes) {
    bytes->clear();
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size))
        return static_cast<Status>(GetLastError());
    if (static_cast<std::uint64_t>(size.QuadPart) > limit)
        return ERROR_INVALID_DATA;
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    // In bounded pieces: ReadFile takes a DWORD, and one huge request may fail for want of
    // system memory (ERROR_NO_SYSTEM_RESOURCES) where small ones succeed.
    constexpr std::size_t kChunk = 1 << 20;
    std::size_t done = 0;
    while (done < bytes->size()) {
        const auto want = static_cast<DWORD>(std::min(kChunk, bytes->size() - done));
        DWORD read = 0;
        if (!ReadFile(file, bytes->data() + done, want, &read, nullptr))
            return static_cast<Status>(GetLastError());
        if (read == 0)
            break;  // shrunk meanwhile
        done += read;
    }
    bytes->resize(done);
    return ERROR_SUCCESS;
}

namespace {

// Every byte at the handle's position; ERROR_WRITE_FAULT when fewer were written.
Status WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    if (!bytes.empty() &&
        !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return static_cast<Status>(GetLastError());
    return written == bytes.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

Status Flush(HANDLE file) {
    return FlushFileBuffers(file) ? ERROR_SUCCESS : static_cast<Status>(GetLastError());
}

}  // namespace

Status WriteDurably(HANDLE file, const std::string& bytes) {
    if (Status s = WriteAll(file, bytes))
        return s;
    return Flush(file);
}

Status RewriteDurably(HANDLE file, const std::string& bytes) {
    const LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return static_cast<Status>(GetLastError());
    if (Status s = WriteAll(file, bytes))
        return s;
    if (!SetEndOfFile(file))
        return static_cast<Status>(GetLastError());
    return Flush(file);
}

}  // namespace brenvik
