#include "bench/scratch_folder.h"

#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"

namespace brenvik::bench {

bool RemoveFolderTree(const std::string& folder) {
    std::vector<std::string> subfolders;
    {
        WIN32_FIND_DATAA data = {};
        UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &data));
        if (!find)
            return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                subfolders.push_back(path);
                continue;
            }
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        } while (FindNextFileA(find.get(), &data));
    }
    for (const std::string& subfolder : subfolders) RemoveFolderTree(subfolder);
    return RemoveDirectoryA(folder.c_str()) != FALSE;
}

bool CreateFolderPath(const std::string& path) {
    // Past "C:\" each separator ends a folder that may need making.
    for (std::size_t slash = path.find('\\', 3); slash != std::string::npos;
         slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH)
        return;
    std::string path = temp;
    if (path.back() != '\\')
        path += '\\';
    path += "brenvik-bench-" + std::to_string(GetCurrentProcessId());
    RemoveFolderTree(path);
    if (CreateFolderPath(path))
        m_path = path;
}

ScratchFolder::~ScratchFolder() {
    if (!m_path.empty())
        RemoveFolderTree(m_path);
}

}  // namespace brenvik::bench
