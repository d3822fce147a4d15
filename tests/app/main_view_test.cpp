#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/scan_view.h"
#include "app/ui_text.h"
#include "res/resource.h"
#include "test_dialog.h"

namespace brenvik {
namespace {

std::string WindowText(HWND hWnd) {
    char buffer[256];
    memset(buffer, 0xbd, sizeof(buffer));
    GetWindowTextA(hWnd, buffer, sizeof(buffer));
    return buffer;
}

// Each run of these tests names its locale; a run that silently fell back to another
// language would leave the other language's texts untested.
TEST(InitMainView, RunsInTheLocaleItWasStartedIn) {
    const char* locale = getenv("LC_ALL");
    if (!locale || strncmp(locale, "zh_CN", 5) != 0) {
        GTEST_SKIP() << "not a Chinese (PRC) run";
    }
    EXPECT_EQ(GetUserDefaultLangID(), 0x0804);
}

TEST(InitMainView, SetsUpTheDialogInTheUserLanguage) {
    test::TestDialog dialog;
    ASSERT_NE(dialog.get(), nullptr);
    HWND hList = dialog.item(IDC_REPORT);
    // A style set before must survive: full-row select is added, not set alone.
    SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES);
    InitMainView(dialog.get());

    auto* view = reinterpret_cast<ScanView*>(GetWindowLongPtrA(dialog.get(), GWLP_USERDATA));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_hProgress, dialog.item(IDC_PROGRESS));
    EXPECT_EQ(view->m_hStatus, dialog.item(IDC_STATUS));
    EXPECT_EQ(view->m_hList, hList);
    EXPECT_EQ(view->m_nRows, 0);
    // Worked out apart from the code under test.
    const int lang = GetUserDefaultLangID() == 0x0804 ? 0 : 1;
    EXPECT_EQ(view->m_nLanguage, lang);

    EXPECT_EQ(WindowText(dialog.get()), TitleText[lang]);
    EXPECT_EQ(WindowText(dialog.item(IDC_PROGRESS_LABEL)), ProgressLabelText[lang]);
    const int buttons[] = {IDC_SCAN, IDC_FIX, IDC_ABOUT, IDC_FIX_DESKTOP};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(WindowText(dialog.item(buttons[i])), ButtonTexts[lang][i]) << "button " << i + 1;
    }

    const int widths[] = {100, 300, 100};
    HWND hHeader = reinterpret_cast<HWND>(SendMessageA(hList, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
        char text[64];
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = text;
        column.cchTextMax = sizeof(text);
        ASSERT_TRUE(SendMessageA(hList, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(column.pszText, ColumnTexts[lang][i]) << "column " << i;
        EXPECT_EQ(column.cx, widths[i]) << "column " << i;
        EXPECT_EQ(column.iSubItem, i);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    const LRESULT exStyle = SendMessageA(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(exStyle & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
              LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    EXPECT_EQ(exStyle & (LVS_EX_CHECKBOXES | LVS_EX_INFOTIP), LVS_EX_CHECKBOXES | LVS_EX_INFOTIP);

    EXPECT_NE(SendMessageA(dialog.get(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(GetFocus(), dialog.item(IDC_SCAN));
    delete view;  // the program keeps its one view for good; each test here makes its own
}

// --- The program's resources, linked into this test program as into the program ---------

const BYTE* ResourceBytes(int name, int type, DWORD* size) {
    HRSRC hInfo = FindResourceA(NULL, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(type));
    if (!hInfo) {
        return nullptr;
    }
    *size = SizeofResource(NULL, hInfo);
    return static_cast<const BYTE*>(LockResource(LoadResource(NULL, hInfo)));
}

template <typename T>
T At(const BYTE* bytes, size_t offset) {
    T value;
    memcpy(&value, bytes + offset, sizeof(T));
    return value;
}

TEST(Resources, MainDialogIsAnExtendedTemplateInSimSun) {
    DWORD size = 0;
    const BYTE* dialog = ResourceBytes(IDD_MAIN, 5, &size);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(At<WORD>(dialog, 2), 0xffff);  // extended template
    EXPECT_EQ(At<DWORD>(dialog, 12), DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                           DS_MODALFRAME | DS_CENTER | DS_SETFONT));
    // The banner's browser control is no item: it is created over the picture only when the
    // page can be shown.
    EXPECT_EQ(At<WORD>(dialog, 16), 10);  // items
    // No menu, no class and an empty caption put the font at a fixed place.
    EXPECT_EQ(At<WORD>(dialog, 26) | At<WORD>(dialog, 28) | At<WORD>(dialog, 30), 0);
    EXPECT_EQ(At<WORD>(dialog, 32), 9);
    EXPECT_EQ(At<char16_t>(dialog, 38), u'\u5b8b');
    EXPECT_EQ(At<char16_t>(dialog, 40), u'\u4f53');
    EXPECT_EQ(At<char16_t>(dialog, 42), 0);
}

TEST(Resources, BannerAndIconsHaveTheirSizesAndDepths) {
    DWORD size = 0;
    const BYTE* bitmap = ResourceBytes(IDB_BANNER, 2, &size);
    ASSERT_NE(bitmap, nullptr);
    const auto header = At<BITMAPINFOHEADER>(bitmap, 0);
    EXPECT_EQ(header.biWidth, 402);
    EXPECT_EQ(header.biHeight, 102);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(size, header.biSize + 4 * header.biClrUsed + 404 * 102);  // palette, padded rows

    struct Case {
        int group;
        std::vector<std::pair<int, int>> formats;  // (pixels, bits per pixel)
    };
    const Case cases[] = {
        {IDI_PROGRAM, {{16, 4}, {16, 8}, {16, 32}, {32, 4}, {32, 8}, {32, 32}, {48, 8}, {48, 32}}},
        {IDI_SMALL, {{16, 4}, {16, 8}, {16, 32}}},
        {IDI_ABOUT, {{32, 32}}},
    };
    for (const Case& c : cases) {
        const BYTE* group = ResourceBytes(c.group, 14, &size);
        ASSERT_NE(group, nullptr) << c.group;
        std::vector<std::pair<int, int>> formats;
        for (size_t entry = 6; entry < 6 + 14u * At<WORD>(group, 4); entry += 14) {
            formats.emplace_back(group[entry], At<WORD>(group, entry + 6));
        }
        EXPECT_EQ(formats, c.formats) << c.group;
    }

    HICON hIcon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON, 16, 16, 0));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(hIcon, &info));
    BITMAP colour = {};
    GetObjectA(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, 16);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(hIcon);
}

TEST(Resources, ManifestBringsCommonControls6) {
    // The list view and progress bar of the other tests come from the side-by-side version 6.
    // Wine's copy reports version 5.81, so tell it by its folder.
    HMODULE hComctl = NULL;
    ASSERT_TRUE(GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&InitCommonControlsEx), &hComctl));
    char buffer[MAX_PATH] = "";
    GetModuleFileNameA(hComctl, buffer, MAX_PATH);
    std::string path = buffer;
    for (char& c : path) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_NE(path.find("common-controls"), std::string::npos) << path;
}

}  // namespace
}  // namespace brenvik
