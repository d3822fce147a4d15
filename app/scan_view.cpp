#include "app/scan_view.h"

#include <commctrl.h>

#include "platform/win32/wide_text.h"

namespace brenvik {

namespace {

// The list view copies the text and never writes through pszText for LVM_INSERTITEMW and
// LVM_SETITEMTEXTW, so handing it the caller's constant text is safe.
LVITEMW TextItem(int item, int subItem, const std::wstring& text) {
    LVITEMW lvItem = {};
    lvItem.mask = LVIF_TEXT;
    lvItem.iItem = item;
    lvItem.iSubItem = subItem;
    lvItem.pszText = const_cast<wchar_t*>(text.c_str());
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
    SetWindowTextW(m_hStatus, Utf8ToWide(text).c_str());
}

void ScanView::NotifyFinished() {
    SendMessageA(GetParent(m_hProgress), WM_SCAN_FINISHED, 0, 0);
}

// The row texts come from the scan as UTF-8 and go to the list as UTF-16, so that a site in
// any script reads the same whatever the code page; the dialog's own texts stay 8-bit.
void ScanView::AddRow(const ResultRecord& record) {
    const std::wstring texts[] = {Utf8ToWide(record.location), Utf8ToWide(SiteCell(record)),
                                  Utf8ToWide(StatusCell(record))};
    LVITEMW row = TextItem(m_nRows, 0, texts[0]);
    const int index =
        static_cast<int>(SendMessageW(m_hList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
    // A failed insert returns -1, and -1 means "every row" to LVM_SETITEMSTATE: stop here
    // rather than select the whole list.
    if (index < 0) {
        return;
    }

    for (int subItem = 1; subItem <= 2; ++subItem) {
        LVITEMW cell = TextItem(index, subItem, texts[subItem]);
        SendMessageW(m_hList, LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&cell));
    }

    LVITEMA state = {};
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(m_hList, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&state));
    SendMessageA(m_hList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    ++m_nRows;
    m_records.push_back(record);
}

void ScanView::Clear() {
    SendMessageA(m_hList, LVM_DELETEALLITEMS, 0, 0);
    m_nRows = 0;
    m_records.clear();
}

void ScanView::SetRowRecord(int row, const ResultRecord& record) {
    if (row < 0 || row >= static_cast<int>(m_records.size()))
        return;
    m_records[static_cast<std::size_t>(row)] = record;
    std::wstring text = Utf8ToWide(StatusCell(record));
    LVITEMW cell = TextItem(row, 2, text);
    SendMessageW(m_hList, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&cell));
}

ScanView* ScanViewOf(HWND hDialog) {
    // The slot is pointer-sized: GetWindowLongA would cut a 64-bit pointer in half.
    return reinterpret_cast<ScanView*>(GetWindowLongPtrA(hDialog, GWLP_USERDATA));
}

}  // namespace brenvik
