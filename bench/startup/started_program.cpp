#include "bench/startup/started_program.h"

namespace brenvik::bench {

namespace {

// Short enough not to blur a start of some tens of milliseconds.
constexpr DWORD kPollMs = 1;

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND hWindow, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(hWindow, &processId);
    if (processId != search->processId || !IsWindowVisible(hWindow)) {
        return TRUE;
    }
    search->found = hWindow;
    return FALSE;
}

}  // namespace

StartedProgram::StartedProgram(const std::string& path) {
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    QueryPerformanceCounter(&m_start);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return;
    }
    CloseHandle(process.hThread);
    m_process.reset(process.hProcess);
    m_processId = process.dwProcessId;
}

StartedProgram::~StartedProgram() {
    if (m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.get(), 1);
        WaitForSingleObject(m_process.get(), 10000);
    }
}

HWND StartedProgram::WaitVisible(DWORD timeoutMs) {
    if (!m_process) {
        return nullptr;
    }
    do {
        WindowSearch search = {m_processId, nullptr};
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        if (WaitForSingleObject(m_process.get(), kPollMs) != WAIT_TIMEOUT) {
            return nullptr;
        }
    } while (ElapsedMs() < timeoutMs);
    return nullptr;
}

bool StartedProgram::WaitAnswered(HWND hWindow, DWORD timeoutMs) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(hWindow, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

DWORD StartedProgram::Close(HWND hWindow, DWORD timeoutMs) const {
    if (!m_process) {
        return STILL_ACTIVE;
    }
    PostMessageA(hWindow, WM_CLOSE, 0, 0);
    WaitForSingleObject(m_process.get(), timeoutMs);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(m_process.get(), &exitCode);
    return exitCode;
}

double StartedProgram::ElapsedMs() const {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - m_start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

}  // namespace brenvik::bench
