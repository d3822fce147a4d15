#include "app/scan_view.h"

#include <commctrl.h>

#include "app/row_texts.h"
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

// The list view's check box images: 1 unchecked, 2 checked; 0 draws no box.
UINT CheckImage(bool checkable, bool checked) {
    return INDEXTOSTATEIMAGEMASK(!checkable ? 0 : checked ? 2 : 1);
}

void SetStateImage(HWND hList, int row, UINT image) {
    LVITEMA state = {};
    state.state = image;
    state.stateMask = LVIS_STATEIMAGEMASK;
    SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&state));
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
                                  RowStatusText(record, m_nLanguage)};
    LVITEMW row = TextItem(m_nRows, 0, texts[0]);
    const int index =
        static_cast<int>(SendMessageW(m_hList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
    // A failed insert returns -1, and -1 means "every row" to LVM_SETITEMSTATE: stop here
    // rather than select the whole list.
    if (index < 0) {
        return;
    }
    // Kept before the box is set: the dialog's check rule reads the row's record.
    {
        const std::lock_guard<std::mutex> hold(m_recordsLock);
        ++m_nRows;
        m_records.push_back(record);
    }
    SetStateImage(m_hList, index, CheckImage(Checkable(record), true));

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
}

void ScanView::Clear() {
    SendMessageA(m_hList, LVM_DELETEALLITEMS, 0, 0);
    const std::lock_guard<std::mutex> hold(m_recordsLock);
    m_nRows = 0;
    m_records.clear();
}

void ScanView::SetRowRecord(int row, const ResultRecord& record) {
    if (row < 0 || row >= static_cast<int>(m_records.size()))
        return;
    const bool hadBox = Checkable(m_records[static_cast<std::size_t>(row)]);
    {
        const std::lock_guard<std::mutex> hold(m_recordsLock);
        m_records[static_cast<std::size_t>(row)] = record;
    }
    // A finding no longer ignored gets a box, checked as after a scan; one that keeps its box
    // keeps the user's choice.
    if (hadBox != Checkable(record))
        SetStateImage(m_hList, row, CheckImage(Checkable(record), true));
    std::wstring text = RowStatusText(record, m_nLanguage);
    LVITEMW cell = TextItem(row, 2, text);
    SendMessageW(m_hList, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&cell));
}

void ScanView::RemoveRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_records.size()))
        return;
    SendMessageA(m_hList, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    const std::lock_guard<std::mutex> hold(m_recordsLock);
    m_records.erase(m_records.begin() + row);
    --m_nRows;
}

bool ScanView::RecordAt(int row, ResultRecord* record) const {
    const std::lock_guard<std::mutex> hold(m_recordsLock);
    if (row < 0 || row >= static_cast<int>(m_records.size()))
        return false;
    *record = m_records[static_cast<std::size_t>(row)];
    return true;
}

bool ScanView::Checkable(const ResultRecord& record) {
    return !record.id.empty() && record.result != Outcome::Ignored &&
           record.result != Outcome::ReportOnly;
}

bool ScanView::Checked(int row) const {
    const LRESULT state =
        SendMessageA(m_hList, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return static_cast<UINT>(state) == CheckImage(true, true);
}

void ScanView::SetChecked(int row, bool checked) {
    if (row < 0 || row >= static_cast<int>(m_records.size()) ||
        !Checkable(m_records[static_cast<std::size_t>(row)]))
        return;
    SetStateImage(m_hList, row, CheckImage(true, checked));
}

std::set<std::string> ScanView::UncheckedIds() const {
    std::set<std::string> ids;
    for (std::size_t row = 0; row < m_records.size(); ++row) {
        if (Checkable(m_records[row]) && !Checked(static_cast<int>(row)))
            ids.insert(m_records[row].id);
    }
    return ids;
}

int ScanView::SelectedRow() const {
    return static_cast<int>(
        SendMessageA(m_hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

ScanView* ScanViewOf(HWND hDialog) {
    // The slot is pointer-sized: GetWindowLongA would cut a 64-bit pointer in half.
    return reinterpret_cast<ScanView*>(GetWindowLongPtrA(hDialog, GWLP_USERDATA));
}

}  // namespace brenvik
