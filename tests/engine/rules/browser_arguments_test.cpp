#include "engine/rules/browser_arguments.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>

#include "tests/engine/argument_split_cases.h"
#include "tests/support/case_table.h"

namespace brenvik {
namespace {

using Texts = std::vector<std::string>;

constexpr SwitchFamily kChromium = SwitchFamily::Chromium;
constexpr SwitchFamily kFirefox = SwitchFamily::Firefox;
constexpr SwitchFamily kExplorer = SwitchFamily::InternetExplorer;

TEST(SplitArguments, KeepsEachTokensSpellingAndTakesItsQuotesOffItsValue) {
    const struct {
        const char* arguments;
        Texts texts;
        Texts values;
    } cases[] = {
        {"", {}, {}},
        {" \t ", {}, {}},
        {"a  b\tc ", {"a", "b", "c"}, {"a", "b", "c"}},
        {"\"C:\\My Files\\x\" y", {"\"C:\\My Files\\x\"", "y"}, {"C:\\My Files\\x", "y"}},
        {"--user-data-dir=\"C:\\a b\" --x",
         {"--user-data-dir=\"C:\\a b\"", "--x"},
         {"--user-data-dir=C:\\a b", "--x"}},
        {"-P \"work\"", {"-P", "\"work\""}, {"-P", "work"}},
        {"a\"\"b", {"a\"\"b"}, {"ab"}},
        // A stray quote runs to the end, as the browser reads it.
        {"http://hao123.com/\" --incognito",
         {"http://hao123.com/\" --incognito"},
         {"http://hao123.com/ --incognito"}},
        {"\" http://hao123.com", {"\" http://hao123.com"}, {" http://hao123.com"}},
        {"\"a b\" c\"", {"\"a b\"", "c\""}, {"a b", "c"}},
        {"a\\\"b \\\\\"c d\"", {"a\\\"b", "\\\\\"c d\""}, {"a\"b", "\\c d"}},
    };
    for (const auto& c : cases) {
        Texts texts;
        Texts values;
        for (const ArgumentToken& token : SplitArguments(c.arguments)) {
            texts.push_back(token.text);
            values.push_back(token.value);
        }
        EXPECT_EQ(texts, c.texts) << c.arguments;
        EXPECT_EQ(values, c.values) << c.arguments;
    }
}

TEST(WebAddressToken, SchemesWwwAndBareHostsButNeverFileNames) {
    const test::FlagCase cases[] = {
        {"http://hao123.com", true},
        {"HTTPS://x", true},
        {"ftp://f.example/", true},
        {"file:///C:/x.html", true},
        {"JavaScript:alert(1)", true},
        {"vbscript:msgbox(1)", true},
        {"data:text/html,<b>x</b>", true},
        {"www.2345.com", true},
        {"hao123.com", true},
        {"hao123.com/?tn=abc", true},
        {"a-b.example.co.uk#top", true},
        {"site.example:8080/x", true},
        {" hao123.com ", true},
        {"\xE4\xB8\xAD\xE5\x9B\xBD.\xE4\xB8\xAD\xE5\x9B\xBD", true},  // 中国.中国
        {"Brave.exe", false},
        {"x.dll", false},
        {"page.html", false},
        {"ext.crx", false},
        {"C:\\x\\hao123.com", false},
        {"site.example:80a", false},
        {"1.2.3.4", false},
        {"v1.2", false},
        {"hao123.com.", false},
        {".com", false},
        {"work", false},
        {"about:blank", false},
        {"httpx://a", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsWebAddressToken(c.text), c.expected) << c.text;
}

TEST(JudgeBrowserArguments, CleanArgumentsComeBackExactlyAsGivenBlanksAndAll) {
    const struct {
        SwitchFamily family;
        const char* arguments;
    } cases[] = {
        {kChromium, ""},
        {kChromium, "--profile-directory=\"Profile 1\"  --incognito"},
        {kChromium, "--app=https://mail.example.com/"},
        {kChromium, "--app-id=abcdef"},
        {kChromium, "--app-id=abc --app-url=https://x.example/"},
        {kChromium, "--user-data-dir=www.profiles"},
        {kChromium, "--inprivate"},
        {kChromium, "Brave.exe x.dll page.html"},
        {kChromium, "--lang=zh-CN --proxy-server=proxy.corp:8080"},
        {kFirefox, "-P \"work\" -no-remote"},
        {kFirefox, "-P hao123.com"},
        {kFirefox, "-profile \"C:\\p\\www.x\" -new-instance -safe-mode"},
        {kFirefox, "-private-window"},
        {kExplorer, "-extoff -private -noframemerging -nohome"},
    };
    for (const auto& c : cases) {
        const ArgumentVerdict verdict = JudgeBrowserArguments(c.arguments, c.family);
        EXPECT_EQ(verdict.findings, Texts{}) << c.arguments;
        EXPECT_EQ(verdict.repaired, c.arguments) << c.arguments;
    }
}

TEST(JudgeBrowserArguments, FindsAddressesAndCodeLoadingSwitchesAndKeepsTheRest) {
    const struct {
        SwitchFamily family;
        const char* arguments;
        Texts findings;
        const char* repaired;
    } cases[] = {
        // Addresses.
        {kChromium, "http://hao123.com", {"http://hao123.com"}, ""},
        {kChromium, "hao123.com", {"hao123.com"}, ""},
        {kChromium,
         "--profile-directory=Default   www.2345.com  --incognito",
         {"www.2345.com"},
         "--profile-directory=Default --incognito"},
        {kChromium,
         "\"http://a.example/?q=a b\" --incognito",
         {"http://a.example/?q=a b"},
         "--incognito"},
        {kChromium,
         "javascript:alert(1) data:text/html,x",
         {"javascript:alert(1)", "data:text/html,x"},
         ""},
        // A stray quote makes the rest one argument: the browser opens it, --incognito is dead.
        {kChromium, "http://hao123.com/\" --incognito", {"http://hao123.com/ --incognito"}, ""},
        {kChromium, "\" http://hao123.com", {" http://hao123.com"}, ""},
        {kChromium, "Brave.exe hao123.com", {"hao123.com"}, "Brave.exe"},
        {kChromium, "--app-url=https://x.example/", {"--app-url=https://x.example/"}, ""},
        {kChromium,
         "--homepage=\"http://hao123.com\" --x",
         {"--homepage=http://hao123.com"},
         "--x"},
        {kFirefox, "-P \"work\" https://hao123.com", {"https://hao123.com"}, "-P \"work\""},
        {kFirefox, "-private-window hao123.com", {"hao123.com"}, "-private-window"},
        {kFirefox, "-new-tab hao123.com -no-remote", {"-new-tab hao123.com"}, "-no-remote"},
        {kFirefox, "-url about:blank", {}, "-url about:blank"},
        {kExplorer, "-nohome http://hao123.com", {"http://hao123.com"}, "-nohome"},
        // Another family's allowed switch is just another switch.
        {kExplorer, "--app=http://x.example/", {"--app=http://x.example/"}, ""},
        {kFirefox, "-P", {}, "-P"},

        // Code-loading switches, with their value after '=' or as the next token.
        {kChromium, "--load-extension=C:\\x", {"--load-extension=C:\\x"}, ""},
        {kChromium,
         "--incognito --load-extension C:\\x --no-first-run",
         {"--load-extension C:\\x"},
         "--incognito --no-first-run"},
        {kChromium,
         "--load-extension=\"C:\\a b\" http://hao123.com",
         {"--load-extension=C:\\a b", "http://hao123.com"},
         ""},
        {kChromium, "--load-extension --incognito", {"--load-extension"}, "--incognito"},
        {kChromium,
         "/Load-Extension=C:\\x -gpu-launcher=\"C:\\e.exe\"",
         {"/Load-Extension=C:\\x", "-gpu-launcher=C:\\e.exe"},
         ""},
        {kChromium,
         "--renderer-cmd-prefix=a --utility-cmd-prefix=b --browser-subprocess-path=c",
         {"--renderer-cmd-prefix=a", "--utility-cmd-prefix=b", "--browser-subprocess-path=c"},
         ""},
        {kFirefox, "-P work --load-extension=C:\\x", {"--load-extension=C:\\x"}, "-P work"},

    };
    for (const auto& c : cases) {
        const ArgumentVerdict verdict = JudgeBrowserArguments(c.arguments, c.family);
        EXPECT_EQ(verdict.findings, c.findings) << c.arguments;
        EXPECT_EQ(verdict.repaired, c.repaired) << c.arguments;
    }
}

TEST(JudgeBrowserArguments, RepairedArgumentsAreCleanOnTheNextScan) {
    const char* hijacked[] = {
        "--profile-directory=\"Profile 2\" hao123.com --load-extension C:\\x \"www.x.example\"",
        "-P \"work\" -url http://a.example -new-window b.example",
    };
    const SwitchFamily families[] = {kChromium, kFirefox};
    for (std::size_t i = 0; i < 2; ++i) {
        const ArgumentVerdict first = JudgeBrowserArguments(hijacked[i], families[i]);
        ASSERT_FALSE(first.findings.empty()) << hijacked[i];
        const ArgumentVerdict second = JudgeBrowserArguments(first.repaired, families[i]);
        EXPECT_TRUE(second.findings.empty()) << first.repaired;
        EXPECT_EQ(second.repaired, first.repaired);
    }
}

// A small fixed-seed generator: the same "random" texts on every run and platform.
class Scramble {
public:
    explicit Scramble(std::uint32_t seed) : m_state(seed) {}
    std::size_t below(std::size_t bound) {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) % bound;
    }

private:
    std::uint32_t m_state;
};

// Two quotes side by side that both delimit: the C runtime and the shell read them apart.
bool HasDelimitingPair(const std::string& spelling) {
    for (std::size_t at = spelling.find("\"\""); at != std::string::npos;
         at = spelling.find("\"\"", at + 1)) {
        std::size_t backslashes = 0;
        while (backslashes < at && spelling[at - 1 - backslashes] == '\\') ++backslashes;
        if (backslashes % 2 == 0)
            return true;
    }
    return false;
}

// The code-loading switch a browser argument turns on, or "".
std::string LiveCodeSwitch(std::string value) {
    value.erase(0, value.find_first_not_of(" \t"));
    for (const char* prefix : {"--", "-", "/"}) {
        if (value.rfind(prefix, 0) != 0)
            continue;
        const std::size_t begin = std::strlen(prefix);
        std::string name = value.substr(begin, value.find('=') - begin);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name == "load-extension" || name == "utility-cmd-prefix" ? name : "";
    }
    return "";
}

Texts ValuesOf(const std::string& arguments) {
    Texts values;
    for (const ArgumentToken& token : SplitArguments(arguments)) values.push_back(token.value);
    return values;
}

TEST(SplitArguments, GivesTheArgumentsCommandLineToArgvWGives) {
    for (const testing::ArgumentSplitCase& c : testing::kArgumentSplitCases)
        EXPECT_EQ(ValuesOf(c.arguments), Texts(c.argv.begin(), c.argv.end())) << c.arguments;
}

TEST(QuoteArgument, QuotesOnlyWhatNeedsItAndEscapesQuotesAndTheirBackslashes) {
    const test::TextCase cases[] = {
        {"--incognito", "--incognito"},
        {"C:\\a\\", "C:\\a\\"},  // no quote follows: backslashes stay as they are
        {"", "\"\""},
        {"a b", "\"a b\""},
        {"a\tb", "\"a\tb\""},
        {"a\"b", "\"a\\\"b\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},
        {"C:\\a b\\", "\"C:\\a b\\\\\""},
        {"C:\\a b\\\\", "\"C:\\a b\\\\\\\\\""},
        {"\"\"", "\"\\\"\\\"\""},
        {"--user-data-dir=C:\\a b", "\"--user-data-dir=C:\\a b\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QuoteArgument(c.text), c.expected) << c.text;
        EXPECT_EQ(ValuesOf(c.expected), Texts{c.text}) << c.expected;
    }
}

TEST(QuoteArgument, QuotedValuesSplitBackIntoTheSameValues) {
    const char* const pieces[] = {"a", "-", " ", "\t", "\"", "\\", "\\\\", "\xE4\xB8\xAD"};  // 中
    Scramble scramble(20261209);
    for (int round = 0; round < 2000; ++round) {
        Texts values(1 + scramble.below(4));
        std::string joined;
        for (std::string& value : values) {
            for (std::size_t n = scramble.below(7); n > 0; --n)
                value += pieces[scramble.below(std::size(pieces))];
            const std::string spelling = QuoteArgument(value);
            EXPECT_TRUE(value.empty() || !HasDelimitingPair(spelling)) << spelling;
            joined += (joined.empty() ? "" : " ") + spelling;
        }
        EXPECT_EQ(ValuesOf(joined), values) << joined;
    }
}

TEST(JudgeBrowserArguments, KeptArgumentsAreQuotedAgainWhereTheirSpellingWouldMislead) {
    const struct {
        SwitchFamily family;
        const char* arguments;
        Texts findings;
        const char* repaired;
    } cases[] = {
        // The browser sees one quoted argument, an address: nothing of it may stay behind.
        {kChromium,
         "http://x.com/\\\"\" a\\\"b --utility-cmd-prefix=C:\\evil.exe \"",
         {"http://x.com/\" a\"b --utility-cmd-prefix=C:\\evil.exe "},
         ""},
        {kChromium,
         "--incognito http://x.com/\\\"\" a\\\"b --utility-cmd-prefix=C:\\evil.exe \"",
         {"http://x.com/\" a\"b --utility-cmd-prefix=C:\\evil.exe "},
         "--incognito"},
        // Blanks inside quotes do not hide a switch: the browser trims them.
        {kChromium,
         "\" --load-extension=C:\\evil\" --incognito",
         {" --load-extension=C:\\evil"},
         "--incognito"},
        // A spelling left open would swallow what a blank now puts after it; "" reads one way
        // in the shell and another in the C runtime.
        {kChromium, "hao123.com --x \"unclosed a", {"hao123.com"}, "--x \"unclosed a\""},
        {kChromium, "a\"\"b hao123.com", {"hao123.com"}, "ab"},
        {kFirefox,
         "\"a \"\"\"b\" -P hao123.com x.example",
         {"x.example"},
         "\"a \\\"b\" -P hao123.com"},
        // Spellings that already read back as they stand are kept.
        {kChromium, "\"C:\\a b\\\\\" hao123.com", {"hao123.com"}, "\"C:\\a b\\\\\""},
        {kChromium, "a\\\"b hao123.com \"\"", {"hao123.com"}, "a\\\"b \"\""},
    };
    for (const auto& c : cases) {
        const ArgumentVerdict verdict = JudgeBrowserArguments(c.arguments, c.family);
        EXPECT_EQ(verdict.findings, c.findings) << c.arguments;
        EXPECT_EQ(verdict.repaired, c.repaired) << c.arguments;
        EXPECT_EQ(verdict.refused, "") << c.arguments;
    }
}

TEST(RepairRefusal, ARepairedTextMustReadBackAsTheKeptArgumentsAndBeClean) {
    const struct {
        SwitchFamily family;
        const char* repaired;
        Texts kept;
        const char* refused;
    } cases[] = {
        {kChromium, "--incognito \"a b\"", {"--incognito", "a b"}, ""},
        {kFirefox, "-P http://x.example", {"-P", "http://x.example"}, ""},
        // What joining the kept spellings used to write for the reviewed text: its stray
        // quotes give the browser a live --utility-cmd-prefix.
        {kChromium,
         "a\\\"b --utility-cmd-prefix=C:\\evil.exe \"",
         {"a\\b --utility-cmd-prefix=C:\\evil.exe "},
         "the repaired arguments would not read back as the kept ones"},
        {kChromium,
         "\"a b",
         {"\"a", "b"},
         "the repaired arguments would not read back as the kept ones"},
        {kChromium,
         "--load-extension=C:\\x",
         {"--load-extension=C:\\x"},
         "the repaired arguments still hold --load-extension=C:\\x"},
        {kChromium,
         "-P http://x.example",
         {"-P", "http://x.example"},
         "the repaired arguments still hold http://x.example"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RepairRefusal(c.repaired, c.kept, c.family), c.refused) << c.repaired;
}

// Texts built from the pieces hijacks use, stray quotes and backslashes included: whatever the
// repair writes, the browser reads no address and no code-loading switch in it.
TEST(JudgeBrowserArguments, NoRepairLeavesAFindingForTheBrowser) {
    const char* const pieces[] = {" ",
                                  "\"",
                                  "\\",
                                  "\"\"",
                                  "\\\"",
                                  "hao123.com",
                                  "http://a.example/",
                                  "--incognito",
                                  "-P",
                                  "-new-tab",
                                  "--load-extension",
                                  "--utility-cmd-prefix=C:\\e.exe",
                                  "C:\\x",
                                  "=",
                                  "a",
                                  "--app-id=x",
                                  "--app-url=https://b.example/"};
    Scramble scramble(4242);
    for (int round = 0; round < 4000; ++round) {
        std::string arguments;
        for (std::size_t n = 1 + scramble.below(10); n > 0; --n)
            arguments += pieces[scramble.below(std::size(pieces))];
        for (SwitchFamily family : {kChromium, kFirefox, kExplorer}) {
            const ArgumentVerdict verdict = JudgeBrowserArguments(arguments, family);
            if (verdict.findings.empty() || !verdict.refused.empty()) {
                EXPECT_EQ(verdict.repaired, arguments);
                continue;
            }
            EXPECT_TRUE(JudgeBrowserArguments(verdict.repaired, family).findings.empty())
                << arguments << " -> " << verdict.repaired;
            for (const std::string& value : ValuesOf(verdict.repaired))
                EXPECT_EQ(LiveCodeSwitch(value), "") << arguments << " -> " << verdict.repaired;
        }
    }
}

}  // namespace
}  // namespace brenvik
