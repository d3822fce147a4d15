// The real brenvik.exe: the DLLs it loads at start, and its start where the name server never
// answers (run by net-condition silent): the window must show and work at once, and close at
// once, while the banner's lookups still hang.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "bench/startup/started_program.h"
#include "platform/win32/handles.h"
#include "res/resource.h"

namespace brenvik::bench {
namespace {

constexpr DWORD kSecondMs = 1000;
constexpr DWORD kStartTimeoutMs = 30000;

DWORD WINAPI LookUpWebSite(LPVOID) {
    WSADATA data = {};
    WSAStartup(0x0101, &data);
    gethostbyname(BRENVIK_WEB_SITE_HOST);
    return 0;
}

bool ScanFinished(HWND hDialog) {
    const HWND hProgress = GetDlgItem(hDialog, IDC_PROGRESS);
    const LRESULT upper = SendMessageA(hProgress, PBM_GETRANGE, FALSE, 0);
    return IsWindowEnabled(GetDlgItem(hDialog, IDC_SCAN)) && upper > 0 &&
           SendMessageA(hProgress, PBM_GETPOS, 0, 0) == upper;
}

bool WaitScanFinished(HWND hDialog, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!ScanFinished(hDialog)) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(10);
    }
    return true;
}

// How long the trivial dialog takes to show here and now: a loaded machine slows every start.
double FloorMs() {
    StartedProgram trivial(WindowsPath(BRENVIK_TRIVIAL_DIALOG_EXE));
    const HWND hWindow = trivial.WaitVisible(kStartTimeoutMs);
    const double visible = trivial.ElapsedMs();
    trivial.Close(hWindow, kStartTimeoutMs);
    return hWindow != nullptr ? visible : kStartTimeoutMs;
}

// The names of the DLLs the image at path imports at load time, upper-cased.
std::set<std::string> LoadTimeImports(const std::string& path) {
    const HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (image == nullptr) {
        return {};
    }
    // The low bits of the handle mark a resource mapping; the image starts at the rest.
    const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~3);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::set<std::string> names;
    for (auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         directory.VirtualAddress != 0 && entry->Name != 0; ++entry) {
        std::string name = reinterpret_cast<const char*>(base + entry->Name);
        CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
        names.insert(name);
    }
    FreeLibrary(image);
    return names;
}

// Every DLL loaded before the window costs time under Wine: what only the banner needs (ATL,
// OLE automation, Windows Sockets) is delay-loaded, and nothing else may creep in unnoticed.
TEST(Startup, TheProgramLoadsOnlyWhatTheWindowNeedsAtLoadTime) {
    const std::set<std::string> expected = {
        "ADVAPI32.DLL", "COMCTL32.DLL", "GDI32.DLL",   "KERNEL32.DLL", "MSVCRT.DLL",
        "NTDLL.DLL",    "OLE32.DLL",    "SHELL32.DLL", "SHLWAPI.DLL",  "USER32.DLL"};
    EXPECT_EQ(expected, LoadTimeImports(WindowsPath(BRENVIK_EXE)));
}

TEST(Startup, WhileTheNameServerIsSilentTheWindowWorksAndClosesAtOnce) {
    // The same lookup as the program's, to show it really hangs for the whole test.
    const UniqueHandle lookup(CreateThread(nullptr, 0, LookUpWebSite, nullptr, 0, nullptr));
    ASSERT_TRUE(lookup);

    const double floor = FloorMs();
    StartedProgram program(WindowsPath(BRENVIK_EXE));
    ASSERT_TRUE(program.started());
    const HWND hDialog = program.WaitVisible(static_cast<DWORD>(floor) + kSecondMs);
    ASSERT_NE(nullptr, hDialog) << "no window a second after a trivial dialog's " << floor << " ms";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hDialog, IDC_BANNER)));

    DWORD_PTR result = 0;
    ASSERT_NE(0, SendMessageTimeoutA(GetDlgItem(hDialog, IDC_SCAN), BM_CLICK, 0, 0, SMTO_NORMAL,
                                     kSecondMs, &result));
    EXPECT_TRUE(WaitScanFinished(hDialog, kSecondMs)) << "Scan did not finish within a second";

    const double closing = program.ElapsedMs();
    EXPECT_EQ(0u, program.Close(hDialog, kSecondMs));
    EXPECT_LT(program.ElapsedMs() - closing, kSecondMs);

    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(lookup.get(), 0))
        << "the name server answered: this run proves nothing";
}

}  // namespace
}  // namespace brenvik::bench
