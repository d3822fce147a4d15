// The five operations through which a scan reports to the dialog. The Windows ScanView
// carries each out as one synchronous window message; tests record them.
#pragma once

#include <string>

#include "engine/views/result_record.h"

namespace brenvik {

class ReportView {
public:
    virtual ~ReportView() = default;

    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPos(int position) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // Tells the dialog that the scan has ended and waits until it has handled that.
    virtual void NotifyFinished() = 0;
    // One row per record, in the order the command reports them; the view shows its cells
    // (SiteCell, StatusCell) and may keep the record to match later results to the row.
    virtual void AddRow(const ResultRecord& record) = 0;
};

}  // namespace brenvik
