#include "app/about_box.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "app/scan_view.h"
#include "app/settings.h"
#include "app/ui_text.h"
#include "res/resource.h"

namespace brenvik {

HWND g_hToolTip = nullptr;
ShellExecuteFunction g_pfnShellExecute = ShellExecuteA;

namespace {

constexpr COLORREF kLinkColour = 0x00FF0000;
constexpr COLORREF kHoverColour = 0x000000FF;
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverTimerPeriod = 1;

// Owns a font made by CreateFontIndirectA.
class UniqueFont {
public:
    UniqueFont() = default;
    UniqueFont(const UniqueFont&) = delete;
    UniqueFont& operator=(const UniqueFont&) = delete;
    ~UniqueFont() { reset(); }

    void reset(HFONT hFont = nullptr) {
        if (m_hFont != nullptr) {
            DeleteObject(m_hFont);
        }
        m_hFont = hFont;
    }
    HFONT get() const { return m_hFont; }

private:
    HFONT m_hFont = nullptr;
};

// The underlined font of the open about box: made by each opening, deleted when it closes.
UniqueFont g_hLinkFont;

// The language of the owner's ScanView. An owner that holds none gives English.
int AboutLanguage(HWND hAbout) {
    const ScanView* view = ScanViewOf(GetParent(hAbout));
    if (view == nullptr || view->m_nLanguage != kLanguageChinese) {
        return kLanguageEnglish;
    }
    return kLanguageChinese;
}

// The hover flag lives in the about box's user-data slot.
bool IsHovered(HWND hAbout) {
    return GetWindowLongPtrA(hAbout, GWLP_USERDATA) != 0;
}

void SetHovered(HWND hAbout, bool hovered) {
    SetWindowLongPtrA(hAbout, GWLP_USERDATA, hovered ? 1 : 0);
}

HFONT CreateUnderlinedSystemFont() {
    LOGFONTA font = {};
    if (GetObjectA(GetStockObject(SYSTEM_FONT), sizeof(font), &font) == 0) {
        return nullptr;
    }
    font.lfUnderline = TRUE;
    return CreateFontIndirectA(&font);
}

// The size is the platform's own: the structure holds pointers, so it is larger in 64 bits.
TOOLINFOA LinkTool(HWND hAbout, HWND hLabel) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hAbout;
    tool.uId = reinterpret_cast<UINT_PTR>(hLabel);
    return tool;
}

// The tool goes in before the label is subclassed, so HyperlinkLabelProc sees each message
// first and passes the rest through the tooltip's hook to the static control.
void AddLinkTool(HWND hAbout, HWND hLabel, int language) {
    TOOLINFOA tool = LinkTool(hAbout, hLabel);
    tool.lpszText = const_cast<char*>(LinkText[language]);
    SendMessageA(EnsureLinkToolTip(GetParent(hAbout)), TTM_ADDTOOLA, 0,
                 reinterpret_cast<LPARAM>(&tool));
}

void RemoveLinkTool(HWND hAbout) {
    if (g_hToolTip == nullptr) {
        return;
    }
    TOOLINFOA tool = LinkTool(hAbout, GetDlgItem(hAbout, IDC_LINK));
    SendMessageA(g_hToolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// The previous procedure is kept in the label's user-data slot.
void SubclassLabel(HWND hLabel) {
    const LONG_PTR previous =
        SetWindowLongPtrA(hLabel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HyperlinkLabelProc));
    SetWindowLongPtrA(hLabel, GWLP_USERDATA, previous);
}

LRESULT CallPreviousLabelProc(HWND hLabel, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hLabel, GWLP_USERDATA));
    if (previous == nullptr) {
        return DefWindowProcA(hLabel, message, wParam, lParam);
    }
    return CallWindowProcA(previous, hLabel, message, wParam, lParam);
}

INT_PTR OnLinkColour(HWND hAbout, HDC hdc) {
    if (IsHovered(hAbout)) {
        SelectObject(hdc, g_hLinkFont.get());
        SetTextColor(hdc, kHoverColour);
    } else {
        SelectObject(hdc, GetStockObject(SYSTEM_FONT));
        SetTextColor(hdc, kLinkColour);
    }
    SetBkMode(hdc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

void OnAboutDestroy(HWND hAbout) {
    RemoveLinkTool(hAbout);
    g_hLinkFont.reset();
}

// The pointer position comes from GetCursorPos, not from lParam.
LRESULT OnLabelHitTest(HWND hLabel, WPARAM wParam, LPARAM lParam) {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(hLabel, &point);
    RECT client;
    GetClientRect(hLabel, &client);
    if (!PtInRect(&client, point)) {
        return CallPreviousLabelProc(hLabel, WM_NCHITTEST, wParam, lParam);
    }
    const HWND hAbout = GetParent(hLabel);
    if (!IsHovered(hAbout)) {
        SetHovered(hAbout, true);
        SetTimer(hLabel, kHoverTimer, kHoverTimerPeriod, nullptr);
        InvalidateRect(hLabel, nullptr, TRUE);
    }
    return HTCLIENT;
}

// The hover ends on the first tick with another window under the pointer.
LRESULT OnLabelTimer(HWND hLabel) {
    POINT point;
    GetCursorPos(&point);
    if (WindowFromPoint(point) == hLabel) {
        return 0;
    }
    KillTimer(hLabel, kHoverTimer);
    SetHovered(GetParent(hLabel), false);
    InvalidateRect(hLabel, nullptr, TRUE);
    return 0;
}

LRESULT OnLabelClick() {
    const std::string site = std::string("https://") + WebSiteHost;
    g_pfnShellExecute(nullptr, nullptr, site.c_str(), nullptr, nullptr, SW_SHOW);
    return 0;
}

}  // namespace

HWND EnsureLinkToolTip(HWND hOwner) {
    if (g_hToolTip != nullptr && IsWindow(g_hToolTip)) {
        return g_hToolTip;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    g_hToolTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hOwner,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    return g_hToolTip;
}

BOOL InitAboutDialog(HWND hAbout) {
    const HWND hLabel = GetDlgItem(hAbout, IDC_LINK);
    const int language = AboutLanguage(hAbout);
    g_hLinkFont.reset(CreateUnderlinedSystemFont());
    AddLinkTool(hAbout, hLabel, language);
    SubclassLabel(hLabel);
    SetWindowTextA(hAbout, AboutTitleText[language]);
    SetDlgItemTextA(hAbout, IDOK, OkText[language]);
    const int textIds[] = {IDC_PRODUCT, IDC_VERSION_LABEL, IDC_UPDATE_LABEL, IDC_MAKER};
    for (int i = 0; i < 4; ++i) {
        SetDlgItemTextA(hAbout, textIds[i], AboutTexts[language][i]);
    }
    return TRUE;
}

INT_PTR CALLBACK AboutDialogProc(HWND hAbout, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return InitAboutDialog(hAbout);
        case WM_COMMAND:
            // Only OK or Cancel with notification code 0 closes the box.
            if (wParam != IDOK && wParam != IDCANCEL) {
                return FALSE;
            }
            EndDialog(hAbout, 0);
            return TRUE;
        case WM_DESTROY:
            OnAboutDestroy(hAbout);
            return TRUE;
        case WM_CTLCOLORSTATIC:
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_LINK) {
                return FALSE;
            }
            return OnLinkColour(hAbout, reinterpret_cast<HDC>(wParam));
        default:
            return FALSE;
    }
}

LRESULT CALLBACK HyperlinkLabelProc(HWND hLabel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            return OnLabelHitTest(hLabel, wParam, lParam);
        case WM_TIMER:
            return OnLabelTimer(hLabel);
        case WM_SETCURSOR:
            SetCursor(LoadCursorA(nullptr, IDC_HAND));
            return TRUE;
        case WM_LBUTTONDOWN:
            return OnLabelClick();
        case WM_DESTROY:
            if (IsHovered(GetParent(hLabel))) {
                KillTimer(hLabel, kHoverTimer);
            }
            return CallPreviousLabelProc(hLabel, message, wParam, lParam);
        default:
            return CallPreviousLabelProc(hLabel, message, wParam, lParam);
    }
}

}  // namespace brenvik
