// The five operations through which a scan reports to the dialog. The Windows ScanView
// carries each out as one synchronous window message; tests record them.
#pragma once

#include <string>

namespace brenvik {

class ReportView {
public:
    virtual ~ReportView() = default;

    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPos(int position) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // Tells the dialog that the scan has ended and waits until it has handled that.
    virtual void NotifyFinished() = 0;
    virtual void AddRow(const std::string& location, const std::string& site,
                        const std::string& status) = 0;
};

}  // namespace brenvik
