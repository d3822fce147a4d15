// brenvik.com: the console program beside brenvik.exe. A prompt finds it first, prints what
// it does and waits for it; without switches it starts the window.
#include <windows.h>

#include <cstdio>

#include "console/console_commands.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"

namespace {

// To a console as UTF-16, so that any name reads right whatever the code page; to a file or
// pipe as UTF-8 bytes.
class StandardOutput final : public brenvik::ConsoleOutput {
public:
    void print(const std::string& text) override {
        HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD mode = 0;
        DWORD written = 0;
        if (GetConsoleMode(handle, &mode)) {
            const std::wstring wide = brenvik::Utf8ToWide(text);
            WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
            return;
        }
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
};

// brenvik.exe in the same folder, started without waiting.
int StartWindow() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length < 4 || length >= MAX_PATH)
        return 3;
    std::wstring program(path, length - 4);
    program += L".exe";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 3;
    brenvik::UniqueHandle thread(process.hThread);
    brenvik::UniqueHandle started(process.hProcess);
    return 0;
}

}  // namespace

int main() {
    // Before any DLL is loaded on demand: from the system folder only, never the program's
    // folder or the current one, where others may put a DLL.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    const std::vector<std::string> args = brenvik::ProcessArguments();
    if (args.empty())
        return StartWindow();
    StandardOutput out;
    return brenvik::RunCommandLine(args, &out);
}
