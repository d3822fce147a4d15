#include <windows.h>
#include <commctrl.h>

#include "app/instance.h"
#include "app/scan_view.h"
#include "app/ui_text.h"
#include "res/resource.h"

namespace brenvik {

namespace {

constexpr int kColumnWidths[3] = {100, 300, 100};
constexpr int kButtonIds[4] = {IDC_SCAN, IDC_FIX, IDC_ABOUT, IDC_FIX_DESKTOP};

void SetSmallIcon(HWND hDialog) {
    HICON hIcon = LoadIconA(g_hInstance, MAKEINTRESOURCEA(IDI_SMALL));
    SendMessageA(hDialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
}

ScanView* AttachScanView(HWND hDialog) {
    // Never freed: the one view lives as long as the process, and the scan worker may still
    // be using it while the dialog goes away.
    auto* view = new ScanView(GetDlgItem(hDialog, IDC_PROGRESS), GetDlgItem(hDialog, IDC_STATUS),
                              GetDlgItem(hDialog, IDC_REPORT));
    view->m_nLanguage = LanguageFromLangId(GetUserDefaultLangID());
    // Pointer-sized slot: SetWindowLongA would keep only the low half of a 64-bit pointer.
    SetWindowLongPtrA(hDialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    return view;
}

// The widths are for 96 dots per inch; the dialog and its fonts grow with the display scale,
// and the columns must grow with them. Asked once: each GetDC costs time under Wine.
int DotsPerInch(HWND hList) {
    HDC hdc = GetDC(hList);
    const int dpi = hdc != nullptr ? GetDeviceCaps(hdc, LOGPIXELSX) : 96;
    if (hdc != nullptr)
        ReleaseDC(hList, hdc);
    return dpi;
}

void SetUpReportList(HWND hList, int language) {
    const LRESULT exStyle = SendMessageA(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    // wParam 0 sets the whole extended style word, not only the bits named in a mask. The
    // boxes choose what Fix repairs; the tips name a row's object, rule and id.
    SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 exStyle | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES | LVS_EX_INFOTIP);

    const int dpi = DotsPerInch(hList);
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.cx = MulDiv(kColumnWidths[i], dpi, 96);
        column.pszText = const_cast<char*>(ColumnTexts[language][i]);
        column.iSubItem = i;
        SendMessageA(hList, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
    }
}

void SetTexts(HWND hDialog, int language) {
    SetWindowTextA(hDialog, TitleText[language]);
    SetDlgItemTextA(hDialog, IDC_PROGRESS_LABEL, ProgressLabelText[language]);
    for (int i = 0; i < 4; ++i) {
        SetDlgItemTextA(hDialog, kButtonIds[i], ButtonTexts[language][i]);
    }
}

}  // namespace

void InitMainView(HWND hDialog) {
    SetSmallIcon(hDialog);
    ScanView* view = AttachScanView(hDialog);
    SetUpReportList(view->m_hList, view->m_nLanguage);
    SetTexts(hDialog, view->m_nLanguage);
    SetFocus(GetDlgItem(hDialog, IDC_SCAN));
}

}  // namespace brenvik
