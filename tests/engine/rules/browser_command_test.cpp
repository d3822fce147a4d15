#include "engine/rules/browser_command.h"

#include <gtest/gtest.h>

namespace brenvik {
namespace {

TEST(BrowserCommand, SplitsTheProgramFromItsArgumentsQuotedOrNot) {
    const struct {
        const char* command;
        const char* executable;
        const char* arguments;
    } cases[] = {
        {"\"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\"  http://hao123.com",
         "chrome.exe", "http://hao123.com"},
        {"\"C:\\x\\msedge.exe\"--inprivate", "msedge.exe", "--inprivate"},
        {"C:\\Program Files\\Mozilla Firefox\\FIREFOX.EXE -url hao123.com", "firefox.exe",
         "-url hao123.com"},
        {"  C:\\PROGRA~1\\360\\360se.exe", "360se.exe", ""},
        {"C:\\x.exe.d\\opera.exe www.x.example", "opera.exe", "www.x.example"},
        {"rundll32.exe url.dll,FileProtocolHandler http://hao123.com", "(none)",
         "url.dll,FileProtocolHandler http://hao123.com"},
        {"\"C:\\x\\chrome.exe http://hao123.com", "(none)", ""},  // the quote never closes
        {"chrome http://hao123.com", "(none)", ""},
        {"", "(none)", ""},
    };
    for (const auto& c : cases) {
        const BrowserCommand parsed = ParseBrowserCommand(c.command);
        EXPECT_EQ(parsed.browser != nullptr ? parsed.browser->executable : "(none)",
                  std::string(c.executable))
            << c.command;
        EXPECT_EQ(parsed.arguments, c.arguments) << c.command;
    }
}

}  // namespace
}  // namespace brenvik
