#include "app/scan_view.h"

#include <commctrl.h>

namespace brenvik {

namespace {

// The list view copies the text and never writes through pszText for LVM_INSERTITEMA and
// LVM_SETITEMA, so handing it the caller's constant text is safe.
LVITEMA TextItem(int item, int subItem, const std::string& text) {
    LVITEMA lvItem = {};
    lvItem.mask = LVIF_TEXT;
    lvItem.iItem = item;
    lvItem.iSubItem = subItem;
    lvItem.pszText = const_cast<char*>(text.c_str());
    return lvItem;
}

}  // namespace

ScanView::ScanView(HWND hProgress, HWND hStatus, HWND hList)
    : m_hStatus(hStatus), m_hProgress(hProgress), m_hList(hList) {}

void ScanView::SetRange(int lower, int upper) {
    SendMessageA(m_hProgress, PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

void ScanView::SetPos(int position) {
    SendMessageA(m_hProgress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void ScanView::SetStatusText(const std::string& text) {
    SetWindowTextA(m_hStatus, text.c_str());
}

void ScanView::NotifyFinished() {
    SendMessageA(GetParent(m_hProgress), WM_SCAN_FINISHED, 0, 0);
}

void ScanView::AddRow(const std::string& location, const std::string& site,
                      const std::string& status) {
    LVITEMA row = TextItem(m_nRows, 0, location);
    const int index =
        static_cast<int>(SendMessageA(m_hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
    // A failed insert returns -1, and -1 means "every row" to LVM_SETITEMSTATE: stop here
    // rather than select the whole list.
    if (index < 0) {
        return;
    }

    LVITEMA siteItem = TextItem(index, 1, site);
    SendMessageA(m_hList, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&siteItem));
    LVITEMA statusItem = TextItem(index, 2, status);
    SendMessageA(m_hList, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&statusItem));

    LVITEMA state = {};
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(m_hList, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&state));
    SendMessageA(m_hList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    ++m_nRows;
}

ScanView* ScanViewOf(HWND hDialog) {
    // The slot is pointer-sized: GetWindowLongA would cut a 64-bit pointer in half.
    return reinterpret_cast<ScanView*>(GetWindowLongPtrA(hDialog, GWLP_USERDATA));
}

}  // namespace brenvik
