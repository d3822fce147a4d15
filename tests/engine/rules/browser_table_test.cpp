#include "engine/rules/browser_table.h"

#include <gtest/gtest.h>

#include "tests/support/case_table.h"

namespace brenvik {
namespace {

std::string ExecutableOf(const Browser* browser) {
    return std::string(browser != nullptr ? browser->executable : "(none)");
}

TEST(BrowserTable, FindsTheExecutableByFileNameFromAnyPathForm) {
    const test::TextCase cases[] = {
        {"chrome.exe", "chrome.exe"},
        {"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe", "chrome.exe"},
        {"\"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\MSEDGE.EXE\"", "msedge.exe"},
        {"  \"D:/Tools/Mozilla Firefox/firefox.exe\"  ", "firefox.exe"},
        {"C:\\x\\360SE.exe\"", "360se.exe"},  // a stray closing quote
        {"%LOCALAPPDATA%\\Programs\\Opera\\launcher.exe", "launcher.exe"},
        {"C:\\Windows\\iexplore.exe", "iexplore.exe"},
        {"C:\\x\\chrome.exe.bak", "(none)"},
        {"C:\\x\\chrome", "(none)"},
        {"C:\\chrome.exe\\setup.exe", "(none)"},
        {"C:\\x\\notchrome.exe", "(none)"},
        {"C:\\Windows\\System32\\cmd.exe", "(none)"},
        {"", "(none)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExecutableOf(FindBrowserByExecutable(c.text)), c.expected) << c.text;
}

TEST(BrowserTable, ShortcutNamesClaimABrowserByShownNameOrExecutableName) {
    const test::TextCase cases[] = {
        {"Google Chrome.lnk", "chrome.exe"},
        {"google chrome (2).LNK", "chrome.exe"},
        {"chrome.lnk", "chrome.exe"},
        {"C:\\Users\\u\\Desktop\\Microsoft Edge.lnk", "msedge.exe"},
        {"Mozilla Firefox.lnk", "firefox.exe"},
        {"Firefox Private Browsing.lnk", "firefox.exe"},
        {"Opera Browser.lnk", "opera.exe"},
        {"Maxthon5.lnk", "maxthon.exe"},
        {"Internet Explorer.url", "iexplore.exe"},
        {"360\xE5\xAE\x89\xE5\x85\xA8\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8.lnk",  // 360安全浏览器
         "360se.exe"},
        {"\xE6\x89\x93\xE5\xBC\x80"                                              // 打开
         "360\xE6\x9E\x81\xE9\x80\x9F\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8.lnk",  // 360极速浏览器
         "360chrome.exe"},
        {"360chrome.lnk", "360chrome.exe"},  // the longer name wins over "chrome"
        {"qq\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8.lnk", "qqbrowser.exe"},  // qq浏览器
        {"\xE6\x90\x9C\xE7\x8B\x97\xE9\xAB\x98\xE9\x80\x9F\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"
         ".lnk",  // 搜狗高速浏览器
         "sogouexplorer.exe"},
        {"2345\xE5\x8A\xA0\xE9\x80\x9F\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8.lnk",  // 2345加速浏览器
         "2345explorer.exe"},
        {"\xE7\x8C\x8E\xE8\xB1\xB9\xE5\xAE\x89\xE5\x85\xA8\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"
         ".lnk",  // 猎豹安全浏览器
         "liebao.exe"},
        {"2345Explorer.lnk", "2345explorer.exe"},
        {"SogouExplorer.lnk", "sogouexplorer.exe"},
        // Named after a site, or merely holding a browser's name inside a word.
        {"Gmail.lnk", "(none)"},
        {"hao123.lnk", "(none)"},
        {"Operations manual.lnk", "(none)"},
        {"Braveheart.lnk", "(none)"},
        {"Chromebook help.lnk", "(none)"},
        {"GoogleChrome.lnk", "(none)"},
        // Non-ASCII is compared as is: "АМИГО" is not "Амиго".
        {"\xD0\x90\xD0\x9C\xD0\x98\xD0\x93\xD0\x9E.lnk", "(none)"},
        {"\xD0\x90\xD0\xBC\xD0\xB8\xD0\xB3\xD0\xBE.lnk", "amigo.exe"},
        // An executable without shown names claims nothing by name; '_' ends a word.
        {"launcher.lnk", "(none)"},
        {"chrome_proxy.lnk", "chrome.exe"},
        {"\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8.lnk", "(none)"},  // 浏览器 alone names no browser
        {"", "(none)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExecutableOf(FindBrowserByShortcutName(c.text)), c.expected) << c.text;
}

}  // namespace
}  // namespace brenvik
