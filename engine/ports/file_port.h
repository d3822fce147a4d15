// The file operations the rules need, one method per Win32 call (8-bit variants).
#pragma once

#include <cstdint>
#include <string>

#include "engine/ports/win_status.h"

namespace brenvik {

// A folder listing in progress; kNoFind stands for INVALID_HANDLE_VALUE.
using FindHandle = std::uintptr_t;
constexpr FindHandle kNoFind = 0;

// The fields of WIN32_FIND_DATAA that the rules read.
struct FindEntry {
    std::string name;  // cFileName, at most 259 characters
    std::uint32_t attributes = 0;
};

class FilePort {
public:
    virtual ~FilePort() = default;

    // FindFirstFileA(pattern): kNoFind when nothing matches or the folder cannot be read.
    virtual FindHandle findFirst(const std::string& pattern, FindEntry* entry) = 0;
    // FindNextFileA: false at the end of the listing and on an error alike.
    virtual bool findNext(FindHandle handle, FindEntry* entry) = 0;
    // FindClose.
    virtual void findClose(FindHandle handle) = 0;
    // GetFileAttributesA: kInvalidFileAttributes on failure.
    virtual std::uint32_t getAttributes(const std::string& path) = 0;
    // SetFileAttributesA.
    virtual bool setAttributes(const std::string& path, std::uint32_t attributes) = 0;
    // DeleteFileA.
    virtual bool deleteFile(const std::string& path) = 0;
    // nNumberOfLinks from GetFileInformationByHandle on the file opened for no access.
    virtual Status getLinkCount(const std::string& path, std::uint32_t* count) = 0;
};

// Ends a listing when it goes out of scope. Move-only.
class ScopedFind {
public:
    ScopedFind(FilePort& files, FindHandle handle) : m_files(&files), m_handle(handle) {}
    ~ScopedFind() {
        if (m_handle != kNoFind)
            m_files->findClose(m_handle);
    }
    ScopedFind(ScopedFind&& other) noexcept : m_files(other.m_files), m_handle(other.m_handle) {
        other.m_handle = kNoFind;
    }
    ScopedFind& operator=(ScopedFind&&) = delete;
    ScopedFind(const ScopedFind&) = delete;
    ScopedFind& operator=(const ScopedFind&) = delete;

    FindHandle get() const { return m_handle; }

private:
    FilePort* m_files;
    FindHandle m_handle;
};

}  // namespace brenvik
