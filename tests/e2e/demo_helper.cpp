// Helper for scripts/run: puts sample hijacks into the current profile and works the running
// program's window (Scan, About, Close) the way the end-to-end tests do.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "res/resource.h"
#include "tests/support/logon_task.h"
#include "tests/support/win32_world.h"

namespace {

constexpr char kIExplore[] = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
constexpr char kFakeClass[] = "{D3E0C1A7-2B4F-4A6D-9E8C-7F1A2B3C4D5E}";
constexpr char kChrome[] = "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
constexpr char kEdge[] = "C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe";
constexpr char kFirefox[] = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";

std::string Folder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool SetText(HKEY root, const std::string& path, const char* name, const char* text) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LONG result = RegSetValueExA(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                       static_cast<DWORD>(lstrlenA(text) + 1));
    RegCloseKey(hKey);
    return result == ERROR_SUCCESS;
}

bool SetDefault(const std::string& path, const char* text) {
    return SetText(HKEY_LOCAL_MACHINE, path, "", text);
}

// A startup entry that opens a shop at every logon, a debugger that runs another program
// whenever Chrome starts, and a start page added to Chrome's web-link handler and to its
// launch command.
bool MakeLaunchHijacks() {
    const std::string chrome = std::string("\"") + kChrome + "\"";
    return SetText(HKEY_CURRENT_USER, "Software\\Classes\\ChromeHTML\\shell\\open\\command", "",
                   (chrome + " --single-argument %1 http://start.example-hijack.net/").c_str()) &&
           SetText(HKEY_CURRENT_USER,
                   "Software\\Clients\\StartMenuInternet\\Google Chrome\\shell\\open\\command", "",
                   (chrome + " http://start.example-hijack.net/").c_str()) &&
           SetText(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                   "DailyDeals", "cmd /c start http://deals.example-hijack.net/") &&
           SetText(HKEY_LOCAL_MACHINE,
                   "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution "
                   "Options\\chrome.exe",
                   "Debugger", "C:\\Users\\Public\\redirect.exe");
}

// A scheduled task that opens a shop at every logon, written as the file Wine's scheduler
// keeps (its registration would drop the Exec action's Command and Arguments).
bool MakeTaskHijack() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string folder = std::string(system) + "\\Tasks\\Deals";
    if (!brenvik::test::MakeFolders(folder))
        return false;
    const std::string xml =
        brenvik::test::LogonTask("cmd.exe", "/c start http://tasks.example-hijack.net/");
    const HANDLE file = CreateFileA((folder + "\\Daily Deals").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, xml.data(), static_cast<DWORD>(xml.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == xml.size();
}

// A stand-in file for each browser, so that its shortcuts point at something that exists.
bool MakeBrowsers() {
    using brenvik::test::MakeFile;
    using brenvik::test::MakeFolders;
    for (const char* program : {kChrome, kEdge, kFirefox}) {
        const std::string path = program;
        if (!MakeFolders(path.substr(0, path.rfind('\\'))) || !MakeFile(path))
            return false;
    }
    return true;
}

// A start page appended to a Chrome shortcut on the Public Desktop, an Edge pinned to the
// taskbar and a Firefox in the Start Menu.
bool MakeBrowserHijacks() {
    using brenvik::test::CreateShortcut;
    using brenvik::test::MakeFolders;
    const std::string taskbar =
        Folder(CSIDL_APPDATA) +
        "\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";
    const std::string startMenu = Folder(CSIDL_STARTMENU) + "\\Programs";
    const std::string publicDesktop = Folder(CSIDL_COMMON_DESKTOPDIRECTORY);
    return MakeBrowsers() && MakeFolders(taskbar) && MakeFolders(startMenu) &&
           MakeFolders(publicDesktop) &&
           SUCCEEDED(CreateShortcut(publicDesktop + "\\Google Chrome.lnk", kChrome,
                                    "--profile-directory=Default http://www.example-start.com/")) &&
           SUCCEEDED(CreateShortcut(taskbar + "\\Microsoft Edge.lnk", kEdge,
                                    "https://deals.example-hijack.net/")) &&
           SUCCEEDED(CreateShortcut(startMenu + "\\Mozilla Firefox.lnk", kFirefox,
                                    "-new-tab http://search.example-hijack.net/")) &&
           SUCCEEDED(
               CreateShortcut(startMenu + "\\Firefox Private.lnk", kFirefox, "-private-window"));
}

int MakeProfile() {
    using brenvik::test::CreateShortcut;
    using brenvik::test::MakeFolders;
    const std::string desktop = Folder(CSIDL_DESKTOPDIRECTORY);
    const std::string quickLaunch =
        Folder(CSIDL_APPDATA) + "\\Microsoft\\Internet Explorer\\Quick Launch";
    const bool ok =
        MakeFolders(desktop) && MakeFolders(quickLaunch) &&
        SUCCEEDED(CreateShortcut(desktop + "\\Internet Explorer.lnk", kIExplore,
                                 "http://www.example-hijack.com/start")) &&
        SUCCEEDED(CreateShortcut(desktop + "\\Notepad.lnk", "C:\\windows\\notepad.exe", "")) &&
        SUCCEEDED(CreateShortcut(desktop + "\\Internet Explorer Home.lnk", kIExplore, "")) &&
        SUCCEEDED(CreateShortcut(quickLaunch + "\\Internet Explorer.lnk", kIExplore,
                                 "http://search.example-hijack.net/?q=")) &&
        SUCCEEDED(
            CreateShortcut(quickLaunch + "\\Show Desktop.lnk", "C:\\windows\\explorer.exe", "")) &&
        SetDefault(std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\"
                               "NameSpace\\") +
                       kFakeClass,
                   "Shopping") &&
        SetDefault(
            std::string("SOFTWARE\\Classes\\CLSID\\") + kFakeClass + "\\shell\\open\\Command",
            "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" "
            "http://www.example-shop.com/") &&
        MakeBrowserHijacks() && MakeLaunchHijacks() && MakeTaskHijack();
    std::puts(ok ? "demo profile ready" : "demo profile incomplete");
    return ok ? 0 : 1;
}

struct Search {
    HWND hOwner;
    HWND found;
};

// A visible dialog of the program: the main one holds the report list; the about box is
// owned by the main one.
BOOL CALLBACK FindDialog(HWND hWindow, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    char className[16] = {};
    GetClassNameA(hWindow, className, sizeof(className));
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(hWindow) ||
        GetWindow(hWindow, GW_OWNER) != search->hOwner) {
        return TRUE;
    }
    if (search->hOwner == nullptr && GetDlgItem(hWindow, IDC_REPORT) == nullptr) {
        return TRUE;
    }
    search->found = hWindow;
    return FALSE;
}

HWND WaitDialog(HWND hOwner) {
    for (int i = 0; i < 600; ++i) {
        Search search = {hOwner, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Sleep(100);
    }
    return nullptr;
}

// ImageMagick's crop geometry of the window's client area: without a window manager under
// Xvfb nobody draws the frame and caption.
void PrintGeometry(HWND hWindow) {
    RECT rect = {};
    GetClientRect(hWindow, &rect);
    POINT origin = {0, 0};
    ClientToScreen(hWindow, &origin);
    std::printf("%ldx%ld+%ld+%ld\n", rect.right, rect.bottom, origin.x, origin.y);
}

int Scan(HWND hMain) {
    SendMessageA(GetDlgItem(hMain, IDC_SCAN), BM_CLICK, 0, 0);
    for (int i = 0; i < 600 && !IsWindowEnabled(GetDlgItem(hMain, IDC_SCAN)); ++i) {
        Sleep(100);
    }
    Sleep(500);  // let the window repaint
    PrintGeometry(hMain);
    return 0;
}

int About(HWND hMain) {
    PostMessageA(hMain, WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hMain, IDC_ABOUT)));
    const HWND hAbout = WaitDialog(hMain);
    if (hAbout == nullptr) {
        return 1;
    }
    Sleep(500);
    PrintGeometry(hAbout);
    return 0;
}

int Close(HWND hMain) {
    Search search = {hMain, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
        SendMessageA(search.found, WM_COMMAND, IDOK, 0);
    }
    PostMessageA(hMain, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    if (std::strcmp(command, "profile") == 0) {
        return MakeProfile();
    }
    const HWND hMain = WaitDialog(nullptr);
    if (hMain == nullptr) {
        std::fputs("brenvik's window did not appear\n", stderr);
        return 1;
    }
    if (std::strcmp(command, "scan") == 0) {
        return Scan(hMain);
    }
    if (std::strcmp(command, "about") == 0) {
        return About(hMain);
    }
    if (std::strcmp(command, "close") == 0) {
        return Close(hMain);
    }
    std::fputs("usage: demo_helper profile|scan|about|close\n", stderr);
    return 2;
}
