// Runs brenvik.com from a test program under Wine, and reads what it leaves behind.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <nlohmann/json.hpp>

#include <map>
#include <string>

#include "platform/win32/handles.h"

namespace brenvik::test {

struct ComRun {
    DWORD code = 0xdeadbeef;
    std::string output;
};

// Starts brenvik.com with the arguments, its output going to the file; null on failure.
UniqueHandle StartCom(const std::string& arguments, const std::string& outputFile);
// Waits for the program (two minutes at most) and reads what it printed.
ComRun Finish(const UniqueHandle& program, const std::string& outputFile);
ComRun RunCom(const std::string& arguments, const std::string& outputFile);

// The file's bytes; empty when it cannot be read.
std::string ReadAll(const std::string& path);
// Discarded when the file is not JSON.
nlohmann::json ReadJson(const std::string& path);
// The known folder's path; empty when the shell has none.
std::string KnownFolder(REFKNOWNFOLDERID id);
// A report's findings: result by location.
std::map<std::string, std::string> ResultsByLocation(const nlohmann::json& report);

}  // namespace brenvik::test
