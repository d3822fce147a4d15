#include "program_window.h"

#include <commctrl.h>

#include "res/resource.h"
#include "tests/support/wine_path.h"

namespace brenvik::test {

namespace {

// A bound for a start that went wrong, not a measure: under a loaded machine Wine has taken
// over a minute to show the first dialog. A program that ends stops the wait at once.
constexpr DWORD kStartTimeoutMs = 180000;
constexpr DWORD kPollMs = 20;
constexpr SIZE_T kTextSize = 1024;

struct WindowSearch {
    DWORD processId;
    HWND hOwner;
    HWND found;
};

BOOL CALLBACK FindDialogOf(HWND hWindow, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(hWindow, &processId);
    char className[16] = {};
    GetClassNameA(hWindow, className, sizeof(className));
    if (processId != search->processId || lstrcmpA(className, "#32770") != 0 ||
        !IsWindowVisible(hWindow) || GetWindow(hWindow, GW_OWNER) != search->hOwner) {
        return TRUE;
    }
    search->found = hWindow;
    return FALSE;
}

// Null when timeoutMs pass, or process (when given) ends, without such a dialog.
HWND PollDialog(DWORD processId, HWND hOwner, DWORD timeoutMs, HANDLE process = nullptr) {
    const DWORD start = GetTickCount();
    do {
        WindowSearch search = {processId, hOwner, nullptr};
        EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        if (process != nullptr && WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            return nullptr;
        Sleep(kPollMs);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

// Memory in the program's process for messages whose lParam points to a structure: the list
// view reads and writes it there, not in the test's process.
class RemoteMemory {
public:
    RemoteMemory(HANDLE hProcess, SIZE_T size)
        : m_hProcess(hProcess),
          m_p(VirtualAllocEx(hProcess, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteMemory() {
        if (m_p != nullptr) {
            VirtualFreeEx(m_hProcess, m_p, 0, MEM_RELEASE);
        }
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    char* get() const { return static_cast<char*>(m_p); }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
        return m_p != nullptr &&
               WriteProcessMemory(m_hProcess, get() + offset, data, size, nullptr) != FALSE;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        return m_p != nullptr &&
               ReadProcessMemory(m_hProcess, get() + offset, data, size, nullptr) != FALSE;
    }

private:
    HANDLE m_hProcess;
    void* m_p;
};

// Sends message with a remote copy of structure, whose text pointer points to a remote
// buffer right behind it; the text the program wrote there, "\x01" as a sentinel when none.
template <typename Structure>
std::string RemoteText(HANDLE hProcess, HWND hWindow, UINT message, WPARAM wParam,
                       Structure structure) {
    RemoteMemory remote(hProcess, sizeof(Structure) + kTextSize);
    structure.pszText = remote.get() + sizeof(Structure);
    structure.cchTextMax = static_cast<int>(kTextSize);
    const char sentinel[] = "\x01";
    if (!remote.Write(0, &structure, sizeof(structure)) ||
        !remote.Write(sizeof(Structure), sentinel, sizeof(sentinel))) {
        return sentinel;
    }
    SendMessageA(hWindow, message, wParam, reinterpret_cast<LPARAM>(remote.get()));
    char text[kTextSize] = {};
    remote.Read(sizeof(Structure), text, kTextSize - 1);
    return text;
}

struct WindowList {
    DWORD processId;
    std::string text;
};

BOOL CALLBACK DescribeWindowOf(HWND hWindow, LPARAM parameter) {
    auto* list = reinterpret_cast<WindowList*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(hWindow, &processId);
    if (processId != list->processId)
        return TRUE;
    char className[64] = {};
    GetClassNameA(hWindow, className, sizeof(className));
    char title[128] = {};
    GetWindowTextA(hWindow, title, sizeof(title));
    char line[320] = {};
    wsprintfA(line, "; window %p class %s %s owner %p '%s'", static_cast<void*>(hWindow), className,
              IsWindowVisible(hWindow) ? "shown" : "hidden",
              static_cast<void*>(GetWindow(hWindow, GW_OWNER)), title);
    list->text += line;
    return TRUE;
}

}  // namespace

std::string RunningProgram::Describe() const {
    if (!m_process)
        return "the program did not start: error " + std::to_string(m_startError);
    DWORD code = 0;
    GetExitCodeProcess(m_process.get(), &code);
    WindowList list = {m_processId,
                       code == STILL_ACTIVE ? "running" : "ended with " + std::to_string(code)};
    EnumWindows(DescribeWindowOf, reinterpret_cast<LPARAM>(&list));
    return list.text;
}

RunningProgram::RunningProgram() {
    std::string commandLine = "\"" + WindowsPath(BRENVIK_EXE) + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        m_startError = GetLastError();
        return;
    }
    CloseHandle(process.hThread);
    m_process.reset(process.hProcess);
    m_processId = process.dwProcessId;
    m_hDialog = PollDialog(m_processId, nullptr, kStartTimeoutMs, m_process.get());
}

RunningProgram::~RunningProgram() {
    if (m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.get(), 1);
        WaitForSingleObject(m_process.get(), 10000);
    }
}

void RunningProgram::Click(int id) const {
    SendMessageA(item(id), BM_CLICK, 0, 0);
}

void RunningProgram::PostClick(int id) const {
    PostMessageA(m_hDialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(item(id)));
}

void RunningProgram::PostKey(HWND hTarget, WPARAM key) const {
    // Repeat count 1 and the scan code; a release also has the previous-state and
    // transition bits.
    const UINT flags = 1u | (MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC) << 16);
    PostMessageA(hTarget, WM_KEYDOWN, key, static_cast<LPARAM>(flags));
    PostMessageA(hTarget, WM_KEYUP, key, static_cast<LPARAM>(flags | 0xC0000000u));
}

bool RunningProgram::WaitIdle(DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    while (!IsWindowEnabled(item(IDC_SCAN))) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
    // Let the worker's last step (the status line) land as well.
    SendMessageA(m_hDialog, WM_NULL, 0, 0);
    return true;
}

bool RunningProgram::CommandsEnabled() const {
    return IsWindowEnabled(item(IDC_SCAN)) && IsWindowEnabled(item(IDC_FIX)) &&
           IsWindowEnabled(item(IDC_ABOUT));
}

std::optional<bool> RunningProgram::CloseGreyed() const {
    const HMENU hMenu = GetSystemMenu(m_hDialog, FALSE);
    const UINT state = GetMenuState(hMenu, SC_CLOSE, MF_BYCOMMAND);
    if (hMenu == nullptr || state == static_cast<UINT>(-1)) {
        return std::nullopt;
    }
    return (state & MF_GRAYED) != 0;
}

std::string RunningProgram::Text(HWND hWindow) const {
    char text[kTextSize] = {};
    // WM_GETTEXT is marshalled between processes; GetWindowTextA would not ask the control.
    SendMessageA(hWindow, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string RunningProgram::ColumnTitle(int column) const {
    LVCOLUMNA header = {};
    header.mask = LVCF_TEXT;
    return RemoteText(m_process.get(), item(IDC_REPORT), LVM_GETCOLUMNA,
                      static_cast<WPARAM>(column), header);
}

std::string RunningProgram::ListText(int row, int column) const {
    LVITEMA cell = {};
    cell.iSubItem = column;
    return RemoteText(m_process.get(), item(IDC_REPORT), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                      cell);
}

std::vector<ReportRow> RunningProgram::Rows() const {
    const int count = static_cast<int>(SendMessageA(item(IDC_REPORT), LVM_GETITEMCOUNT, 0, 0));
    std::vector<ReportRow> rows;
    for (int row = 0; row < count; ++row) {
        rows.push_back(ReportRow{ListText(row, 0), ListText(row, 1), ListText(row, 2)});
    }
    return rows;
}

int RunningProgram::SelectedRow() const {
    return static_cast<int>(
        SendMessageA(item(IDC_REPORT), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool RunningProgram::SelectRow(int row) const {
    LVITEMA state = {};
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    RemoteMemory remote(m_process.get(), sizeof(state));
    if (!remote.Write(0, &state, sizeof(state)))
        return false;
    return SendMessageA(item(IDC_REPORT), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(remote.get())) != FALSE;
}

int RunningProgram::CheckImage(int row) const {
    const LRESULT state = SendMessageA(item(IDC_REPORT), LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                                       LVIS_STATEIMAGEMASK);
    return static_cast<int>((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12);
}

bool RunningProgram::ProgressFull() const {
    const HWND hProgress = item(IDC_PROGRESS);
    const LRESULT upper = SendMessageA(hProgress, PBM_GETRANGE, FALSE, 0);
    return upper > 0 && SendMessageA(hProgress, PBM_GETPOS, 0, 0) == upper;
}

HWND RunningProgram::WaitOwnedDialog(DWORD timeoutMs) const {
    return PollDialog(m_processId, m_hDialog, timeoutMs);
}

DWORD RunningProgram::Close() {
    if (!m_process) {
        return STILL_ACTIVE;
    }
    PostMessageA(m_hDialog, WM_CLOSE, 0, 0);
    WaitForSingleObject(m_process.get(), 30000);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(m_process.get(), &exitCode);
    return exitCode;
}

}  // namespace brenvik::test
