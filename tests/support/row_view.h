// A report view that keeps only the rows a run adds, each as one line of text.
#pragma once

#include <string>
#include <vector>

#include "engine/views/report_view.h"

namespace brenvik::test {

class RowView final : public ReportView {
public:
    // separator joins a row's location and site, and its status when withStatus is set.
    explicit RowView(std::string separator = "|", bool withStatus = false)
        : m_separator(std::move(separator)), m_withStatus(withStatus) {}

    void SetRange(int, int) override {}
    void SetPos(int) override {}
    void SetStatusText(const std::string&) override {}
    void NotifyFinished() override {}
    void AddRow(const ResultRecord& record) override {
        std::string row = record.location + m_separator + SiteCell(record);
        if (m_withStatus)
            row += m_separator + StatusCell(record);
        rows.push_back(std::move(row));
    }

    std::vector<std::string> rows;

private:
    std::string m_separator;
    bool m_withStatus;
};

}  // namespace brenvik::test
