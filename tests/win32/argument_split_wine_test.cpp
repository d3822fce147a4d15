// The engine's model of the browsers' argument rule against the real CommandLineToArgvW: the
// shared table, quoted values read back, repairs, and the program name's own rule.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/rules/browser_arguments.h"
#include "engine/rules/browser_command.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "tests/engine/argument_split_cases.h"

namespace brenvik {
namespace {

using Texts = std::vector<std::string>;

// Everything CommandLineToArgvW gives for a whole command line, program name first.
Texts ShellArgv(const std::string& commandLine) {
    int count = -1;
    LPWSTR* argv = CommandLineToArgvW(Utf8ToWide(commandLine).c_str(), &count);
    UniqueHlocal owner(argv);
    EXPECT_NE(argv, nullptr) << commandLine << " error " << GetLastError();
    Texts values;
    for (int i = 0; argv != nullptr && i < count; ++i) values.push_back(WideToUtf8(argv[i]));
    return values;
}

// What the shell gives after a plain program name, the part a browser reads as arguments.
Texts ShellArguments(const std::string& arguments) {
    Texts argv = ShellArgv("exe " + arguments);
    EXPECT_FALSE(argv.empty());
    if (!argv.empty())
        argv.erase(argv.begin());
    return argv;
}

Texts EngineArguments(const std::string& arguments) {
    Texts values;
    for (const ArgumentToken& token : SplitArguments(arguments)) values.push_back(token.value);
    return values;
}

TEST(ArgumentSplitWine, TheTableIsWhatTheShellGivesAndWhatTheEngineGives) {
    for (const testing::ArgumentSplitCase& c : testing::kArgumentSplitCases) {
        const Texts expected(c.argv.begin(), c.argv.end());
        EXPECT_EQ(ShellArguments(c.arguments), expected) << c.arguments;
        EXPECT_EQ(EngineArguments(c.arguments), expected) << c.arguments;
    }
}

TEST(ArgumentSplitWine, QuotedValuesAndRepairsReadBackThroughTheShell) {
    const char* const pieces[] = {"a", "-", " ", "\t", "\"", "\\", "\\\\", "\xE4\xB8\xAD"};  // 中
    std::uint32_t state = 20261209;
    auto below = [&state](std::size_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    for (int round = 0; round < 500; ++round) {
        Texts values(1 + below(4));
        std::string joined;
        for (std::string& value : values) {
            for (std::size_t n = below(7); n > 0; --n) value += pieces[below(std::size(pieces))];
            joined += (joined.empty() ? "" : " ") + QuoteArgument(value);
        }
        EXPECT_EQ(ShellArguments(joined), values) << joined;
    }

    // Repairs of texts whose quoting misleads a naive reader: what the shell makes of the
    // repaired text is what the engine kept, and holds no code-loading switch.
    const struct {
        const char* arguments;
        Texts kept;
    } repairs[] = {
        {"http://x.com/\\\"\" a\\\"b --utility-cmd-prefix=C:\\evil.exe \"", {}},
        {"--incognito http://x.com/\\\"\" a\\\"b --utility-cmd-prefix=C:\\evil.exe \"",
         {"--incognito"}},
        {"hao123.com --x \"unclosed a", {"--x", "unclosed a"}},
        {"\"a \"\"\"b\" hao123.com \"C:\\a b\\\\\"", {"a \"b", "C:\\a b\\"}},
    };
    for (const auto& r : repairs) {
        const ArgumentVerdict verdict = JudgeBrowserArguments(r.arguments, SwitchFamily::Chromium);
        EXPECT_EQ(verdict.refused, "") << r.arguments;
        EXPECT_EQ(ShellArguments(verdict.repaired), r.kept) << verdict.repaired;
    }
}

// After a quoted program name the arguments start at once, by the argument rule: the engine
// hands the rest of the command to the same split.
TEST(ArgumentSplitWine, ArgumentsAfterTheProgramNameAreWhatTheShellGives) {
    const char* const commands[] = {
        "\"C:\\x\\chrome.exe\" http://hao123.com --incognito",
        "\"C:\\x\\chrome.exe\"\" arg1 ",
        "\"C:\\x\\chrome.exe\"\"\" arg2",
        "\"C:\\x\\chrome.exe\"\"\"\"arg1",
        "\"C:\\x\\chrome.exe\"arg\" one\" argtwo",
        "\"C:\\x\\chrome.exe\"--inprivate \"a\\\"b c\"",
        "C:\\x\\chrome.exe \\\"a \\\\\"b c\"",
    };
    for (const char* command : commands) {
        const BrowserCommand parsed = ParseBrowserCommand(command);
        ASSERT_NE(parsed.browser, nullptr) << command;
        Texts argv = ShellArgv(command);
        ASSERT_FALSE(argv.empty()) << command;
        argv.erase(argv.begin());
        EXPECT_EQ(EngineArguments(parsed.arguments), argv) << command;
    }
}

}  // namespace
}  // namespace brenvik
