#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/about_box.h"
#include "app/scan_view.h"
#include "app/settings.h"
#include "app/ui_text.h"
#include "res/resource.h"

namespace brenvik {
namespace {

constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kRed = 0x000000FF;

// Each call to the shell as "file show"; arguments that should be null are flagged.
std::vector<std::string> g_shellCalls;

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                    LPCSTR directory, INT show) {
    const bool plain = !owner && !verb && !parameters && !directory;
    g_shellCalls.push_back((plain ? "" : "extra arguments ") + std::string(file) + " " +
                           std::to_string(show));
    return reinterpret_cast<HINSTANCE>(42);
}

std::string WindowText(HWND hWnd) {
    char buffer[256];
    memset(buffer, 0xbd, sizeof(buffer));
    GetWindowTextA(hWnd, buffer, sizeof(buffer));
    return buffer;
}

// The texts of the box's unnamed text statics, in template order; an icon counts as "icon".
std::vector<std::string> UnnamedTexts(HWND hAbout) {
    std::vector<std::string> texts;
    for (HWND h = GetWindow(hAbout, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(h) != 0xFFFF && GetDlgCtrlID(h) != -1) {
            continue;
        }
        const bool isIcon = (GetWindowLongPtrA(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        texts.push_back(isIcon ? (SendMessageA(h, STM_GETICON, 0, 0) ? "icon" : "no icon")
                               : WindowText(h));
    }
    return texts;
}

int ToolCount() {
    return static_cast<int>(SendMessageA(g_hToolTip, TTM_GETTOOLCOUNT, 0, 0));
}

// The about box over a stand-in for the main dialog whose user-data slot holds the view.
class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_view.m_nLanguage = LanguageFromLangId(GetUserDefaultLangID());
        m_hOwner = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, m_hOwner);
        SetWindowLongPtrA(m_hOwner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_view));
        g_shellCalls.clear();
        m_pfnPreviousShell = std::exchange(g_pfnShellExecute, RecordShellExecute);
    }
    void TearDown() override {
        CloseBox();
        g_pfnShellExecute = m_pfnPreviousShell;
        DestroyWindow(m_hOwner);
    }

    HWND OpenBox() {
        m_hAbout = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT),
                                      m_hOwner, AboutDialogProc, 0);
        ShowWindow(m_hAbout, SW_SHOWNOACTIVATE);
        return m_hAbout;
    }
    void CloseBox() {
        if (m_hAbout != nullptr) {
            DestroyWindow(m_hAbout);
            m_hAbout = nullptr;
        }
    }
    HWND Label() const { return GetDlgItem(m_hAbout, IDC_LINK); }

    // The label's colours as the box hands them out, on a scratch device context.
    struct Colours {
        LRESULT brush;
        COLORREF text;
        int backgroundMode;
        HFONT font;
    };
    Colours LabelColours(HWND hControl) const {
        HDC hdc = CreateCompatibleDC(nullptr);
        Colours colours;
        colours.brush = SendMessageA(m_hAbout, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                     reinterpret_cast<LPARAM>(hControl));
        colours.text = GetTextColor(hdc);
        colours.backgroundMode = GetBkMode(hdc);
        colours.font = static_cast<HFONT>(GetCurrentObject(hdc, OBJ_FONT));
        // A font still selected could not be deleted by the box.
        SelectObject(hdc, GetStockObject(SYSTEM_FONT));
        DeleteDC(hdc);
        return colours;
    }

    ScanView m_view{nullptr, nullptr, nullptr};
    HWND m_hOwner = nullptr;
    HWND m_hAbout = nullptr;
    ShellExecuteFunction m_pfnPreviousShell = nullptr;
};

TEST_F(AboutBoxTest, ShowsItsTextsInTheOwnersLanguage) {
    for (bool ownerHasView : {true, false}) {
        SCOPED_TRACE(ownerHasView ? "owner with a view" : "owner without a view");
        SetWindowLongPtrA(m_hOwner, GWLP_USERDATA,
                          ownerHasView ? reinterpret_cast<LONG_PTR>(&m_view) : 0);
        const int lang = ownerHasView ? m_view.m_nLanguage : kLanguageEnglish;
        ASSERT_NE(nullptr, OpenBox());

        EXPECT_EQ(AboutTitleText[lang], WindowText(m_hAbout));
        EXPECT_EQ(OkText[lang], WindowText(GetDlgItem(m_hAbout, IDOK)));
        const int ids[] = {IDC_PRODUCT, IDC_VERSION_LABEL, IDC_UPDATE_LABEL, IDC_MAKER};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(AboutTexts[lang][i], WindowText(GetDlgItem(m_hAbout, ids[i])));
        }
        EXPECT_EQ(WebSiteHost, WindowText(Label()));
        const std::vector<std::string> unnamed = UnnamedTexts(m_hAbout);
        EXPECT_EQ((std::vector<std::string>{"icon", "1.1", "2009-12-22"}), unnamed);

        char tip[256] = {};
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = m_hAbout;
        tool.uId = reinterpret_cast<UINT_PTR>(Label());
        tool.lpszText = tip;
        SendMessageA(g_hToolTip, TTM_GETTEXTA, sizeof(tip), reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(LinkText[lang], tip);
        CloseBox();
    }
}

TEST_F(AboutBoxTest, ClosesOnlyOnPlainOkOrCancel) {
    const struct {
        WPARAM wParam;
        bool closes;
    } cases[] = {
        {MAKEWPARAM(IDOK, 1), false},
        {MAKEWPARAM(IDCANCEL, BN_DOUBLECLICKED), false},
        {MAKEWPARAM(IDC_LINK, 0), false},
        {MAKEWPARAM(IDOK, BN_CLICKED), true},
        {MAKEWPARAM(IDCANCEL, BN_CLICKED), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wParam);
        ASSERT_NE(nullptr, OpenBox());
        ASSERT_TRUE(IsWindowVisible(m_hAbout));
        SendMessageA(m_hAbout, WM_COMMAND, c.wParam, 0);
        // EndDialog hides a modeless box; a modal one would then leave its loop.
        EXPECT_EQ(!c.closes, IsWindowVisible(m_hAbout) != FALSE);
        CloseBox();
    }
}

TEST_F(AboutBoxTest, LinkTurnsRedAndUnderlinedWhileThePointerIsOverIt) {
    ASSERT_NE(nullptr, OpenBox());
    const LRESULT face = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    const Colours rest = LabelColours(Label());
    EXPECT_EQ(face, rest.brush);
    EXPECT_EQ(kBlue, rest.text);
    EXPECT_EQ(TRANSPARENT, rest.backgroundMode);
    EXPECT_EQ(GetStockObject(SYSTEM_FONT), rest.font);
    // Other statics keep the default colours, which the dialog manager then supplies.
    HDC hdc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(FALSE, AboutDialogProc(m_hAbout, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                     reinterpret_cast<LPARAM>(GetDlgItem(m_hAbout, IDC_MAKER))));
    DeleteDC(hdc);

    RECT rect;
    GetWindowRect(Label(), &rect);
    ASSERT_TRUE(SetCursorPos(rect.left + 3, rect.top + 3));
    // lParam is not where the pointer is looked up.
    EXPECT_EQ(HTCLIENT, SendMessageA(Label(), WM_NCHITTEST, 0, MAKELPARAM(-5000, -5000)));
    EXPECT_EQ(1, GetWindowLongPtrA(m_hAbout, GWLP_USERDATA));
    const Colours hovered = LabelColours(Label());
    EXPECT_EQ(face, hovered.brush);
    EXPECT_EQ(kRed, hovered.text);
    LOGFONTA font = {};
    ASSERT_NE(0, GetObjectA(hovered.font, sizeof(font), &font));
    EXPECT_TRUE(font.lfUnderline);

    // A tick with the pointer still over the label keeps the hover; one elsewhere ends it.
    SendMessageA(Label(), WM_TIMER, 1, 0);
    EXPECT_EQ(1, GetWindowLongPtrA(m_hAbout, GWLP_USERDATA));
    ASSERT_TRUE(SetCursorPos(rect.right + 200, rect.bottom + 200));
    EXPECT_NE(HTCLIENT, SendMessageA(Label(), WM_NCHITTEST, 0, 0));
    SendMessageA(Label(), WM_TIMER, 1, 0);
    EXPECT_EQ(0, GetWindowLongPtrA(m_hAbout, GWLP_USERDATA));
    EXPECT_EQ(kBlue, LabelColours(Label()).text);
}

TEST_F(AboutBoxTest, ClickOnTheLinkOpensTheSiteAndKeepsTheBoxOpen) {
    ASSERT_NE(nullptr, OpenBox());
    EXPECT_TRUE(SendMessageA(Label(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Label()),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_HAND), GetCursor());

    EXPECT_EQ(0, SendMessageA(Label(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2)));

    EXPECT_EQ(std::vector<std::string>{"https://www.velmora.com 5"}, g_shellCalls);
    EXPECT_TRUE(IsWindowVisible(m_hAbout));
}

TEST_F(AboutBoxTest, EachOpeningFreesItsFontAndToolWhenClosed) {
    ASSERT_NE(nullptr, OpenBox());
    CloseBox();
    const int tools = ToolCount();
    const DWORD gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 20; ++i) {
        ASSERT_NE(nullptr, OpenBox());
        EXPECT_EQ(tools + 1, ToolCount());
        SetWindowLongPtrA(m_hAbout, GWLP_USERDATA, 1);
        const HFONT font = LabelColours(Label()).font;
        ASSERT_EQ(OBJ_FONT, static_cast<int>(GetObjectType(font)));
        CloseBox();
        EXPECT_EQ(0, static_cast<int>(GetObjectType(font)));
        EXPECT_EQ(tools, ToolCount());
    }
    EXPECT_EQ(gdiObjects, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
}

}  // namespace
}  // namespace brenvik
