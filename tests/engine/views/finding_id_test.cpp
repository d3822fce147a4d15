#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "engine/views/json_report.h"
#include "engine/views/result_record.h"
#include "tests/engine/model_world.h"
#include "tests/support/bare_commands.h"

namespace brenvik {
namespace {

using testing::ModelWorld;

class NoView : public ReportView {
public:
    void SetRange(int, int) override {}
    void SetPos(int) override {}
    void SetStatusText(const std::string&) override {}
    void NotifyFinished() override {}
    void AddRow(const ResultRecord&) override {}
};

// The published FNV-1a 64 vectors.
TEST(FindingId, Fnv1a64KnownVectors) {
    const struct {
        std::string text;
        std::uint64_t hash;
    } cases[] = {
        {"", 0xcbf29ce484222325ull},
        {"a", 0xaf63dc4c8601ec8cull},
        {"foobar", 0x85944171f73967e8ull},
    };
    for (const auto& c : cases) EXPECT_EQ(c.hash, Fnv1a64(c.text)) << c.text;
}

// Each part of the id tells findings apart, the object's ASCII case does not, and the target
// and arguments (which a repair changes) are not part of it.
TEST(FindingId, WhatTellsFindingsApart) {
    const std::string base = FindingId("Desktop", "", "C:\\d\\a.lnk", "http://a/");
    ASSERT_EQ(12u, base.size());
    EXPECT_EQ(std::string::npos, base.find_first_not_of("0123456789abcdef"));
    const struct {
        const char* why;
        std::string id;
        bool same;
    } cases[] = {
        {"same again", FindingId("Desktop", "", "C:\\d\\a.lnk", "http://a/"), true},
        {"object case-folded", FindingId("Desktop", "", "c:\\D\\A.LNK", "http://a/"), true},
        {"other object", FindingId("Desktop", "", "C:\\d\\b.lnk", "http://a/"), false},
        {"other site", FindingId("Desktop", "", "C:\\d\\a.lnk", "http://b/"), false},
        {"site case kept", FindingId("Desktop", "", "C:\\d\\a.lnk", "http://A/"), false},
        {"other location", FindingId("Start Menu", "", "C:\\d\\a.lnk", "http://a/"), false},
        {"other rule", FindingId("Desktop", "arguments", "C:\\d\\a.lnk", "http://a/"), false},
        {"parts not run together", FindingId("Desktop", "", "C:\\d\\a.lnkhttp://a/", ""), false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.same, c.id == base) << c.why;
}

// The views carry the id; a skipped place has none.
TEST(FindingId, InRecordLineAndReport) {
    Finding finding;
    finding.path = "C:\\d\\a.lnk";
    finding.site = "http://a/";
    finding.target = "C:\\ie.exe";
    const ResultRecord found = RecordOf("Desktop", finding, Outcome::Found);
    EXPECT_EQ(FindingId("Desktop", "", "C:\\d\\a.lnk", "http://a/"), found.id);
    finding.target = "C:\\other.exe";
    EXPECT_EQ(found.id, RecordOf("Desktop", finding, Outcome::Fixed).id);

    const ResultRecord skipped = SkippedRecord({"Start Menu", "C:\\m", "junction not followed"});
    EXPECT_EQ("", skipped.id);
    EXPECT_EQ("found     Desktop  http://a/  C:\\d\\a.lnk  [" + found.id + "]", ConsoleLine(found));
    EXPECT_EQ("skipped   Start Menu  C:\\m  (junction not followed)", ConsoleLine(skipped));
    // Longer than the first column: it keeps two spaces rather than losing its end.
    ResultRecord left = found;
    left.result = Outcome::NotSelected;
    EXPECT_EQ("not selected  Desktop  http://a/  C:\\d\\a.lnk  [" + found.id + "]",
              ConsoleLine(left));

    CommandReport report;
    report.command = "scan";
    report.records = {found, skipped};
    const auto json = nlohmann::json::parse(ReportJson(report, "1.0"));
    EXPECT_EQ(found.id, json["findings"][0]["id"]);
    EXPECT_TRUE(json["findings"][1]["id"].is_null());
}

std::vector<std::string> ScanIds(ModelWorld& world) {
    NoView view;
    std::vector<std::string> ids;
    for (const ResultRecord& record : test::ScanRows(world.ports, view).records)
        ids.push_back(record.id);
    return ids;
}

// Two scans give the same ids; a repaired hijack recreated with the same text gets its old id.
TEST(FindingId, StableAcrossScansAndRecreation) {
    ModelWorld world;
    world.platform.addShortcut(ModelWorld::desktop("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://d1/");
    world.platform.addShortcut(world.quickLaunch("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://q1/");
    const std::vector<std::string> first = ScanIds(world);
    ASSERT_EQ(2u, first.size());
    EXPECT_NE(first[0], first[1]);
    EXPECT_EQ(first, ScanIds(world));

    test::Fix(world.ports);
    EXPECT_TRUE(ScanIds(world).empty());
    world.platform.addShortcut(ModelWorld::desktop("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://d1/");
    world.platform.addShortcut(world.quickLaunch("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://q1/");
    EXPECT_EQ(first, ScanIds(world));
}

// The window offers to show a file row's folder, never a key's or a skipped place's.
TEST(NamesAFile, ShortcutsOnly) {
    ResultRecord shortcut;
    shortcut.location = "Desktop";
    shortcut.path = "C:\\d\\Internet Explorer.lnk";
    shortcut.id = "0123456789ab";
    ResultRecord oldIcon = shortcut;
    oldIcon.location = "Desktop NameSpace";
    oldIcon.path = "Software\\NameSpace\\{1}";
    ResultRecord browserEntry = oldIcon;
    browserEntry.location = "Start Menu";
    browserEntry.rule = "name space";
    ResultRecord fakeLink = shortcut;
    fakeLink.rule = "fake link";
    ResultRecord task = shortcut;
    task.location = "Scheduled Task";
    task.rule = "startup";
    task.path = "\\Deals\\Start Page";
    const struct {
        const char* why;
        ResultRecord record;
        bool file;
    } cases[] = {
        {"shortcut", shortcut, true},
        {"fake link", fakeLink, true},
        {"scheduled task", task, false},
        {"old desktop icon", oldIcon, false},
        {"name space entry", browserEntry, false},
        {"skipped folder", SkippedRecord({"Desktop", "C:\\d\\x", "junction not followed"}), false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.file, NamesAFile(c.record)) << c.why;
}

}  // namespace
}  // namespace brenvik
