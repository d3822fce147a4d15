#include "app/report_notify.h"

#include <algorithm>
#include <string>

#include "app/row_texts.h"
#include "app/scan_view.h"

namespace brenvik {
namespace {

// TRUE refuses the change.
LRESULT CheckRule(const ScanView& view, const NMLISTVIEW& change) {
    if ((change.uChanged & LVIF_STATE) == 0 ||
        ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) == 0)
        return FALSE;
    ResultRecord record;
    if (!view.RecordAt(change.iItem, &record))
        return FALSE;
    const bool boxed = (change.uNewState & LVIS_STATEIMAGEMASK) != 0;
    return boxed == ScanView::Checkable(record) ? FALSE : TRUE;
}

template <typename Char>
void CopyTip(const std::basic_string<Char>& tip, Char* buffer, int size) {
    if (buffer == nullptr || size <= 0)
        return;
    const std::size_t count = std::min(tip.size(), static_cast<std::size_t>(size - 1));
    std::copy(tip.begin(), tip.begin() + static_cast<std::ptrdiff_t>(count), buffer);
    buffer[count] = Char();
}

// The tip replaces the list's own text (the cell cut short), which it would otherwise add to.
void FillTip(const ScanView& view, NMLVGETINFOTIPW& tip) {
    ResultRecord record;
    if (view.RecordAt(tip.iItem, &record))
        CopyTip(RowTipText(record, view.m_nLanguage), tip.pszText, tip.cchTextMax);
}

void FillTip(const ScanView& view, NMLVGETINFOTIPA& tip) {
    ResultRecord record;
    if (!view.RecordAt(tip.iItem, &record))
        return;
    // An 8-bit dialog is asked in its code page; what it cannot show becomes '?'.
    const std::wstring wide = RowTipText(record, view.m_nLanguage);
    std::string narrow;
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), size,
                        nullptr, nullptr);
    CopyTip(narrow, tip.pszText, tip.cchTextMax);
}

}  // namespace

bool HandleReportNotify(const ScanView& view, NMHDR& header, LRESULT* result) {
    *result = 0;
    if (header.hwndFrom != view.m_hList)
        return false;
    switch (header.code) {
        case LVN_ITEMCHANGING:
            *result = CheckRule(view, reinterpret_cast<const NMLISTVIEW&>(header));
            return true;
        case LVN_GETINFOTIPW:
            FillTip(view, reinterpret_cast<NMLVGETINFOTIPW&>(header));
            return true;
        case LVN_GETINFOTIPA:
            FillTip(view, reinterpret_cast<NMLVGETINFOTIPA&>(header));
            return true;
        default:
            return false;
    }
}

}  // namespace brenvik
