// A program started under a stopwatch: when its first window shows, answers and closes.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/handles.h"
#include "tests/support/wine_path.h"

namespace brenvik::bench {

class StartedProgram {
public:
    // Starts path (a Windows path) and starts the stopwatch just before CreateProcess.
    explicit StartedProgram(const std::string& path);
    // Ends the process if it still runs.
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool started() const { return static_cast<bool>(m_process); }

    // Waits until the process has a visible top-level window; it, or null on timeout.
    HWND WaitVisible(DWORD timeoutMs);
    // Sends a message to window and waits until its thread answers; false on timeout.
    bool WaitAnswered(HWND hWindow, DWORD timeoutMs) const;
    // Posts WM_CLOSE to hWindow and waits for the process to end; its exit code, or
    // STILL_ACTIVE when it did not end in time.
    DWORD Close(HWND hWindow, DWORD timeoutMs) const;

    // Milliseconds since the stopwatch started.
    double ElapsedMs() const;

private:
    UniqueHandle m_process;
    DWORD m_processId = 0;
    LARGE_INTEGER m_start = {};
};

using test::WindowsPath;

}  // namespace brenvik::bench
