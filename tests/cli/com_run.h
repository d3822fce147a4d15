// Runs brenvik.com from a test program under Wine, and reads what it leaves behind.
#pragma once

#include <windows.h>

#include <nlohmann/json.hpp>

#include <map>
#include <string>

#include "platform/win32/handles.h"
#include "tests/support/child_process.h"
#include "tests/support/known_folder.h"

namespace brenvik::test {

struct ComRun {
    DWORD code = kNoExitCode;
    std::string output;
};

// Starts brenvik.com with the arguments, its output going to the file; null on failure.
UniqueHandle StartCom(const std::string& arguments, const std::string& outputFile);
// Waits for the program (two minutes at most) and reads what it printed.
ComRun Finish(const UniqueHandle& program, const std::string& outputFile);
ComRun RunCom(const std::string& arguments, const std::string& outputFile);

// Discarded when the file is not JSON.
nlohmann::json ReadJson(const std::string& path);
// A report's findings: result by location.
std::map<std::string, std::string> ResultsByLocation(const nlohmann::json& report);

}  // namespace brenvik::test
