#include "engine/rules/browser_table.h"

#include <algorithm>
#include <cstring>

#include "engine/base/text_rules.h"
#include "engine/rules/browser_paths.h"

namespace brenvik {
namespace {

constexpr SwitchFamily kChromium = SwitchFamily::Chromium;

// clang-format off
// One browser executable a line. Shown names that are not ASCII are UTF-8 bytes, so that the
// table does not depend on how this file is encoded; the readable text is in the comment.
// A row without shown names claims no shortcut by its name: its executable starts web apps
// named after the app, or has a name too plain to tell a browser by.
const Browser kBrowsers[] = {
    {"iexplore.exe", SwitchFamily::InternetExplorer, {"Internet Explorer"}},
    {"msedge.exe", kChromium, {"Microsoft Edge"}},
    {"msedge_proxy.exe", kChromium, {}},  // starts installed web apps, named after the app
    {"chrome.exe", kChromium, {"Google Chrome", "\xE8\xB0\xB7\xE6\xAD\x8C\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // 谷歌浏览器
    {"chrome_proxy.exe", kChromium, {}},  // starts installed web apps, named after the app
    {"firefox.exe", SwitchFamily::Firefox, {"Mozilla Firefox", "Firefox", "\xE7\x81\xAB\xE7\x8B\x90\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // 火狐浏览器
    {"opera.exe", kChromium, {"Opera"}},
    {"launcher.exe", kChromium, {}},  // what Opera's per-user installs put in their shortcuts
    {"brave.exe", kChromium, {"Brave"}},
    {"vivaldi.exe", kChromium, {"Vivaldi"}},
    {"maxthon.exe", kChromium, {"Maxthon", "\xE5\x82\xB2\xE6\xB8\xB8\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // 傲游浏览器
    {"360se.exe", kChromium, {"360\xE5\xAE\x89\xE5\x85\xA8\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // 360安全浏览器
    {"360chrome.exe", kChromium, {"360\xE6\x9E\x81\xE9\x80\x9F\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // 360极速浏览器
    {"qqbrowser.exe", kChromium, {"QQ\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // QQ浏览器
    {"sogouexplorer.exe", kChromium, {"\xE6\x90\x9C\xE7\x8B\x97\xE9\xAB\x98\xE9\x80\x9F\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8", "\xE6\x90\x9C\xE7\x8B\x97\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // 搜狗高速浏览器, 搜狗浏览器
    {"2345explorer.exe", kChromium, {"2345\xE5\x8A\xA0\xE9\x80\x9F\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // 2345加速浏览器
    {"liebao.exe", kChromium, {"\xE7\x8C\x8E\xE8\xB1\xB9\xE5\xAE\x89\xE5\x85\xA8\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8", "\xE7\x8C\x8E\xE8\xB1\xB9\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // 猎豹安全浏览器, 猎豹浏览器
    {"baidubrowser.exe", kChromium, {"\xE7\x99\xBE\xE5\xBA\xA6\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // 百度浏览器
    {"ucbrowser.exe", kChromium, {"UC\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // UC浏览器
    {"theworld.exe", kChromium, {"\xE4\xB8\x96\xE7\x95\x8C\xE4\xB9\x8B\xE7\xAA\x97\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"}},  // 世界之窗浏览器
    {"amigo.exe", kChromium, {"Amigo", "\xD0\x90\xD0\xBC\xD0\xB8\xD0\xB3\xD0\xBE"}},  // Амиго
};
// clang-format on

constexpr const char* kExecutableExtension = ".exe";

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// True when lowercasedName holds lowercasedWord where neither end runs on into an ASCII
// letter. Digits may touch ("Maxthon5"); bytes of 0x80 and above never run on, since
// Chinese names are written without blanks ("打开360安全浏览器").
bool HoldsWord(const std::string& lowercasedName, const std::string& lowercasedWord) {
    for (std::size_t at = lowercasedName.find(lowercasedWord); at != std::string::npos;
         at = lowercasedName.find(lowercasedWord, at + 1)) {
        const std::size_t end = at + lowercasedWord.size();
        const bool runsOnBefore = at > 0 && IsAsciiLetter(lowercasedWord.front()) &&
                                  IsAsciiLetter(lowercasedName[at - 1]);
        const bool runsOnAfter = end < lowercasedName.size() &&
                                 IsAsciiLetter(lowercasedWord.back()) &&
                                 IsAsciiLetter(lowercasedName[end]);
        if (!runsOnBefore && !runsOnAfter)
            return true;
    }
    return false;
}

std::size_t HeldLength(const std::string& stem, std::string word) {
    LowercaseAscii(word);
    return !word.empty() && HoldsWord(stem, word) ? word.size() : 0;
}

// The length of the longest of the browser's names that the stem holds; 0 when none.
std::size_t LongestClaim(const std::string& stem, const Browser& browser) {
    if (browser.shownNames[0] == nullptr)
        return 0;
    std::string executableStem(browser.executable);
    executableStem.resize(executableStem.size() - std::strlen(kExecutableExtension));
    std::size_t longest = HeldLength(stem, executableStem);
    for (const char* shownName : browser.shownNames) {
        if (shownName != nullptr)
            longest = std::max(longest, HeldLength(stem, shownName));
    }
    return longest;
}

}  // namespace

const Browser* FindBrowserByExecutable(const std::string& path) {
    const std::string_view fileName = RawPathFileName(path);
    for (const Browser& browser : kBrowsers) {
        if (EqualsLowercased(fileName, browser.executable))
            return &browser;
    }
    return nullptr;
}

const Browser* FindBrowserByShortcutName(const std::string& name) {
    std::string stem = PathFileName(NormalizedPath(name));
    stem.resize(stem.size() - PathExtension(stem).size());
    // The longest name held wins, so "360chrome.lnk" is 360chrome's and not chrome's.
    const Browser* claimed = nullptr;
    std::size_t claimedLength = 0;
    for (const Browser& browser : kBrowsers) {
        const std::size_t length = LongestClaim(stem, browser);
        if (length > claimedLength) {
            claimed = &browser;
            claimedLength = length;
        }
    }
    return claimed;
}

std::vector<std::string_view> BrowserExecutables() {
    std::vector<std::string_view> executables;
    for (const Browser& browser : kBrowsers) executables.push_back(browser.executable);
    return executables;
}

}  // namespace brenvik
