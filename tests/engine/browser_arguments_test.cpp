#include "engine/browser_arguments.h"

#include <gtest/gtest.h>

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
        // A stray quote does not swallow what follows it.
        {"http://hao123.com/\" --incognito",
         {"http://hao123.com/\"", "--incognito"},
         {"http://hao123.com/", "--incognito"}},
        {"\" http://hao123.com", {"\"", "http://hao123.com"}, {"", "http://hao123.com"}},
        {"\"a b\" c\"", {"\"a b\"", "c\""}, {"a b", "c"}},
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
    const struct {
        const char* value;
        bool address;
    } cases[] = {
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
    for (const auto& c : cases) EXPECT_EQ(IsWebAddressToken(c.value), c.address) << c.value;
}

TEST(JudgeBrowserArguments, FindsAddressesAndCodeLoadingSwitchesAndKeepsTheRest) {
    const struct {
        SwitchFamily family;
        const char* arguments;
        Texts findings;
        const char* repaired;
    } cases[] = {
        // Clean arguments come back exactly as given, blanks and all.
        {kChromium, "", {}, ""},
        {kChromium,
         "--profile-directory=\"Profile 1\"  --incognito",
         {},
         "--profile-directory=\"Profile 1\"  --incognito"},
        {kChromium, "--app=https://mail.example.com/", {}, "--app=https://mail.example.com/"},
        {kChromium, "--app-id=abcdef", {}, "--app-id=abcdef"},
        {kChromium,
         "--app-id=abc --app-url=https://x.example/",
         {},
         "--app-id=abc --app-url=https://x.example/"},
        {kChromium, "--user-data-dir=www.profiles", {}, "--user-data-dir=www.profiles"},
        {kChromium, "--inprivate", {}, "--inprivate"},
        {kChromium, "Brave.exe x.dll page.html", {}, "Brave.exe x.dll page.html"},
        {kChromium,
         "--lang=zh-CN --proxy-server=proxy.corp:8080",
         {},
         "--lang=zh-CN --proxy-server=proxy.corp:8080"},
        {kFirefox, "-P \"work\" -no-remote", {}, "-P \"work\" -no-remote"},
        {kFirefox, "-P hao123.com", {}, "-P hao123.com"},
        {kFirefox,
         "-profile \"C:\\p\\www.x\" -new-instance -safe-mode",
         {},
         "-profile \"C:\\p\\www.x\" -new-instance -safe-mode"},
        {kFirefox, "-private-window", {}, "-private-window"},
        {kExplorer,
         "-extoff -private -noframemerging -nohome",
         {},
         "-extoff -private -noframemerging -nohome"},

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
        {kChromium, "http://hao123.com/\" --incognito", {"http://hao123.com/"}, "--incognito"},
        {kChromium, "\" http://hao123.com", {"http://hao123.com"}, "\""},
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

}  // namespace
}  // namespace brenvik
