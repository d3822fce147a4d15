// The command line's switches and exit codes, and the JSON report's form.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "engine/commands/command_line.h"
#include "engine/views/json_report.h"

namespace brenvik {
namespace {

struct LineCase {
    std::vector<std::string> args;
    LineCommand kind;
    std::string restoreId;
    std::string reportPath;
};

TEST(CommandLine, SwitchesInEitherFormAndAnyCase) {
    const LineCase cases[] = {
        {{}, LineCommand::Window, "", ""},
        {{"/scan"}, LineCommand::Scan, "", ""},
        {{"-SCAN"}, LineCommand::Scan, "", ""},
        {{"/Fix", "/report", "C:\\r.json"}, LineCommand::Fix, "", "C:\\r.json"},
        {{"-report", "out.json", "/scan"}, LineCommand::Scan, "", "out.json"},
        {{"/FixDesktop"}, LineCommand::FixDesktop, "", ""},
        {{"/backups"}, LineCommand::Backups, "", ""},
        {{"/restore", "last"}, LineCommand::Restore, "last", ""},
        {{"-Restore", "20261208T190648Z"}, LineCommand::Restore, "20261208T190648Z", ""},
    };
    for (const LineCase& c : cases) {
        const CommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(c.kind, line.kind) << ::testing::PrintToString(c.args);
        EXPECT_EQ(c.restoreId, line.restoreId);
        EXPECT_EQ(c.reportPath, line.reportPath);
        EXPECT_EQ("", line.error);
    }
}

// The ignore list's switches: ids comma-separated, lowercased, each one checked.
TEST(CommandLine, IgnoreSwitchesAndIds) {
    const struct {
        std::vector<std::string> args;
        LineCommand kind;
        std::vector<std::string> ids;
        bool all;
        bool only;
    } cases[] = {
        {{"/ignore", "0123456789AB"}, LineCommand::Ignore, {"0123456789ab"}, false, false},
        {{"-Unignore", "0123456789ab,ba9876543210"},
         LineCommand::Unignore,
         {"0123456789ab", "ba9876543210"},
         false,
         false},
        {{"/ignored"}, LineCommand::Ignored, {}, false, false},
        {{"/scan", "/ALL"}, LineCommand::Scan, {}, true, false},
        {{"/only", "0123456789ab", "/fix", "/report", "r.json"},
         LineCommand::Fix,
         {"0123456789ab"},
         false,
         true},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(c.kind, line.kind) << ::testing::PrintToString(c.args) << line.error;
        EXPECT_EQ(c.ids, line.ids) << ::testing::PrintToString(c.args);
        EXPECT_EQ(c.all, line.all) << ::testing::PrintToString(c.args);
        EXPECT_EQ(c.only, line.only) << ::testing::PrintToString(c.args);
    }
    const std::vector<std::vector<std::string>> refused = {
        {"/ignore"},
        {"/ignore", "/scan"},
        {"/ignore", "0123456789a"},
        {"/ignore", "0123456789abc"},
        {"/ignore", "0123456789ag"},
        {"/ignore", "0123456789ab,"},
        {"/unignore", ",0123456789ab"},
        {"/fix", "/only"},
        {"/fix", "/only", "0123456789ab", "/only", "0123456789ab"},
        {"/scan", "/only", "0123456789ab"},
        {"/fix", "/all"},
        {"/scan", "/all", "/all"},
        {"/ignored", "/all"},
    };
    for (const auto& args : refused) {
        EXPECT_EQ(LineCommand::Usage, ParseCommandLine(args).kind)
            << ::testing::PrintToString(args);
    }
    // Ignored and not selected findings are neither found nor skipped.
    Summary onlyIgnored;
    onlyIgnored.ignored = 2;
    onlyIgnored.notSelected = 1;
    EXPECT_EQ(kExitNone, ExitCode(LineCommand::Scan, onlyIgnored));
    EXPECT_EQ(kExitNone, ExitCode(LineCommand::Fix, onlyIgnored));
}

TEST(CommandLine, WhatIsNotUnderstoodGivesUsage) {
    const std::vector<std::vector<std::string>> refused = {
        {"/?"},
        {"/help"},
        {"/scan", "/fix"},
        {"/restore"},
        {"/restore", "/scan"},
        {"/report"},
        {"/report", "a", "/report", "b", "/scan"},
        {"/backups", "/report", "a"},
        {"/report", "a"},
        {"/frobnicate"},
        {"scan"},
        {"/"},
        {"/scan", "extra"},
    };
    for (const auto& args : refused) {
        EXPECT_EQ(LineCommand::Usage, ParseCommandLine(args).kind)
            << ::testing::PrintToString(args);
    }
    EXPECT_EQ(3, ExitCode(LineCommand::Usage, Summary{}));
    EXPECT_NE(std::string::npos, UsageText().find("/restore <id|last>"));
}

TEST(CommandLine, ExitCodesFollowTheResults) {
    struct Case {
        LineCommand kind;
        Summary summary;
        int code;
    };
    const Case cases[] = {
        {LineCommand::Scan, {0, 0, 0, 0, 0}, 0},
        {LineCommand::Scan, {2, 0, 0, 0, 0}, 1},
        {LineCommand::Fix, {0, 0, 0, 0, 0}, 0},
        {LineCommand::Fix, {2, 2, 0, 0, 0}, 1},
        {LineCommand::Fix, {2, 1, 1, 0, 0}, 2},
        {LineCommand::FixDesktop, {2, 2, 0, 0, 0}, 1},
        {LineCommand::FixDesktop, {2, 1, 1, 0, 0}, 2},
        {LineCommand::Restore, {3, 0, 0, 0, 3}, 1},
        {LineCommand::Restore, {3, 0, 0, 1, 2}, 2},
        {LineCommand::Restore, {3, 0, 1, 0, 2}, 2},
        {LineCommand::Backups, {}, 0},
        // A place not examined: the scan cannot say "clean", nor the repair "all repaired".
        {LineCommand::Scan, {0, 0, 0, 0, 0, 1}, 2},
        {LineCommand::Scan, {2, 0, 0, 0, 0, 1}, 2},
        {LineCommand::Fix, {0, 0, 0, 0, 0, 1}, 2},
        {LineCommand::Fix, {2, 2, 0, 0, 0, 1}, 2},
        // A repaired hijack that came back before the command ended.
        {LineCommand::Fix, {2, 1, 0, 0, 0, 0, 0, 0, 1}, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.code, ExitCode(c.kind, c.summary)) << static_cast<int>(c.kind);
}

TEST(JsonReport, HoldsEveryFieldOfEveryRecord) {
    CommandReport report;
    report.command = "fix";
    report.started = "2026-12-08T19:06:48Z";
    report.finished = "2026-12-08T19:06:50Z";
    report.computer = "PC";
    report.user = "\xE7\x8E\x8B";  // a Chinese name, UTF-8
    report.backup = "20261208T190648Z";
    ResultRecord fixed{"Desktop",     "C:\\d\\a.lnk", "", "http://a/", "", "",
                       "delete file", Outcome::Fixed, ""};
    ResultRecord failed{"Quick Launch",    "C:\\q\\b.lnk",  "arguments",
                        "http://b/",       "C:\\ie.exe",    "-private",
                        "clear arguments", Outcome::Failed, "access denied"};
    report.records = {fixed, failed};

    const auto json = nlohmann::json::parse(ReportJson(report, "1.0"));
    ASSERT_EQ(2u, json["findings"].size());
    // The report's own fields, and every field of the second finding.
    const std::pair<const char*, const char*> fields[] = {
        {"/tool", "Brenvik"},
        {"/version", "1.0"},
        {"/command", "fix"},
        {"/user", "\xE7\x8E\x8B"},
        {"/finished", "2026-12-08T19:06:50Z"},
        {"/backup", "20261208T190648Z"},
        {"/findings/1/location", "Quick Launch"},
        {"/findings/1/rule", "arguments"},
        {"/findings/1/target", "C:\\ie.exe"},
        {"/findings/1/arguments", "-private"},
        {"/findings/1/action", "clear arguments"},
        {"/findings/1/result", "failed"},
        {"/findings/1/error", "access denied"},
    };
    for (const auto& [pointer, text] : fields)
        EXPECT_EQ(text, json.at(nlohmann::json::json_pointer(pointer))) << pointer;
    EXPECT_EQ((nlohmann::json{{"found", 2},
                              {"fixed", 1},
                              {"failed", 1},
                              {"skipped", 0},
                              {"ignored", 0},
                              {"reported", 0},
                              {"came_back", 0}}),
              json["summary"]);

    report.backup.clear();
    report.records[0].site = "bad \xFF byte";
    const auto plain = nlohmann::json::parse(ReportJson(report, "1.0"));
    EXPECT_TRUE(plain["backup"].is_null());
    EXPECT_EQ("bad \xEF\xBF\xBD byte", plain["findings"][0]["site"]);
}

// The window's cells, the printed line and the report all show a skipped place, and the
// summary counts it apart from the findings.
TEST(ResultViews, ASkippedPlaceInEveryView) {
    const SkippedPlace place{"Start Menu", "C:\\m\\Refusing", "cannot be listed: access denied"};
    CommandReport report;
    report.command = "scan";
    report.records = {ResultRecord{"Desktop", "C:\\d\\a.lnk", "", "http://a/", "", "",
                                   "delete file", Outcome::Found, ""}};
    report.records.push_back(SkippedRecord(place));

    const ResultRecord& skipped = report.records.back();
    const struct {
        std::string view;
        std::string expected;
    } cells[] = {
        {StatusCell(skipped), "Skipped: cannot be listed: access denied"},
        {SiteCell(skipped), "C:\\m\\Refusing"},
        {SiteCell(report.records[0]), "http://a/"},
        {ConsoleLine(skipped),
         "skipped   Start Menu  C:\\m\\Refusing  (cannot be listed: access denied)"},
    };
    for (const auto& cell : cells) EXPECT_EQ(cell.expected, cell.view);

    const auto json = nlohmann::json::parse(ReportJson(report, "1.0"));
    ASSERT_EQ(2u, json["findings"].size());
    EXPECT_EQ("skipped", json["findings"][1]["result"]);
    EXPECT_EQ("cannot be listed: access denied", json["findings"][1]["error"]);
    EXPECT_EQ("", json["findings"][1]["action"]);
    EXPECT_EQ((nlohmann::json{{"found", 1},
                              {"fixed", 0},
                              {"failed", 0},
                              {"skipped", 1},
                              {"ignored", 0},
                              {"reported", 0}}),
              json["summary"]);
}

// One record per object: the same folder however it is spelt, a key once.
TEST(ResultViews, AddSkippedKeepsEachObjectOnce) {
    SkippedPlaces skipped;
    AddSkipped(&skipped, {"Desktop", "C:\\Users\\u\\Desktop\\", "cannot be listed: access denied"});
    AddSkipped(&skipped, {"Desktop", "c:/users/U/DESKTOP", "cannot be listed: not found"});
    AddSkipped(&skipped, {"Start Menu", "C:\\Users\\u\\Desktop\\Sub", "junction not followed"});
    AddSkipped(&skipped,
               {"Desktop NameSpace", "HKLM\\Software\\X", "cannot be opened: access denied"});
    AddSkipped(&skipped,
               {"Desktop NameSpace", "HKLM\\SOFTWARE\\x", "cannot be enumerated: error 1"});
    ASSERT_EQ(3u, skipped.size());
    EXPECT_EQ("C:\\Users\\u\\Desktop", skipped[0].path);
    EXPECT_EQ("cannot be listed: access denied", skipped[0].reason);
    EXPECT_EQ("junction not followed", skipped[1].reason);
    EXPECT_EQ("cannot be opened: access denied", skipped[2].reason);
}

}  // namespace
}  // namespace brenvik
