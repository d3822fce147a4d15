// A test fixture over the test dialog's report: the view the commands show their rows in,
// with the list's columns made as the main dialog makes them.
#pragma once

#include <gtest/gtest.h>

#include "app/scan_view.h"
#include "res/resource.h"
#include "test_dialog.h"

namespace brenvik::test {

class ReportViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_dialog.get(), nullptr);
        AddReportColumns(m_view.m_hList);
    }

    TestDialog m_dialog;
    ScanView m_view{m_dialog.item(IDC_PROGRESS), m_dialog.item(IDC_STATUS),
                    m_dialog.item(IDC_REPORT)};
};

}  // namespace brenvik::test
