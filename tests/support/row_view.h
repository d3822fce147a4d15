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
    void AddRow(const std::string& location, const std::string& site,
                const std::string& status) override {
        std::string row = location + m_separator + site;
        if (m_withStatus)
            row += m_separator + status;
        rows.push_back(std::move(row));
    }

    std::vector<std::string> rows;

private:
    std::string m_separator;
    bool m_withStatus;
};

}  // namespace brenvik::test
