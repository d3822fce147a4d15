// The command line's switches and exit codes, and the JSON report's form.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "engine/command_line.h"
#include "engine/json_report.h"

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
    EXPECT_EQ("Brenvik", json["tool"]);
    EXPECT_EQ("1.0", json["version"]);
    EXPECT_EQ("fix", json["command"]);
    EXPECT_EQ("\xE7\x8E\x8B", json["user"]);
    EXPECT_EQ("2026-12-08T19:06:50Z", json["finished"]);
    EXPECT_EQ("20261208T190648Z", json["backup"]);
    ASSERT_EQ(2u, json["findings"].size());
    const auto& second = json["findings"][1];
    EXPECT_EQ("Quick Launch", second["location"]);
    EXPECT_EQ("arguments", second["rule"]);
    EXPECT_EQ("C:\\ie.exe", second["target"]);
    EXPECT_EQ("-private", second["arguments"]);
    EXPECT_EQ("clear arguments", second["action"]);
    EXPECT_EQ("failed", second["result"]);
    EXPECT_EQ("access denied", second["error"]);
    EXPECT_EQ((nlohmann::json{{"found", 2}, {"fixed", 1}, {"failed", 1}}), json["summary"]);

    report.backup.clear();
    report.records[0].site = "bad \xFF byte";
    const auto plain = nlohmann::json::parse(ReportJson(report, "1.0"));
    EXPECT_TRUE(plain["backup"].is_null());
    EXPECT_EQ("bad \xEF\xBF\xBD byte", plain["findings"][0]["site"]);
}

}  // namespace
}  // namespace brenvik
