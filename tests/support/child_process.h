// Running a program from a test under Wine, and reading what it leaves behind.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace brenvik::test {

// What an exit code reads as when the program did not start or did not end in time.
constexpr DWORD kNoExitCode = 0xdeadbeef;

// Starts the command line with its output and errors going to the file, made anew; null when
// either fails.
UniqueHandle StartProgram(const std::string& commandLine, const std::string& outputFile);
// Waits two minutes at most; the exit code, or kNoExitCode.
DWORD WaitForExit(const UniqueHandle& program);

// The file's bytes; empty when it cannot be read.
std::string ReadAll(const std::string& path);

}  // namespace brenvik::test
