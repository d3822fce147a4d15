// Browser arguments: the tokens that open a web address or load code, and the text without them.
#pragma once

#include <string>
#include <vector>

#include "engine/rules/browser_table.h"

namespace brenvik {

struct ArgumentToken {
    std::string text;   // as spelled in the arguments text, quotes and escapes included
    std::string value;  // the argument the browser receives
    bool open = false;  // the text ends inside quotes: a blank after it would not end it
};

// Splits an arguments text the way CommandLineToArgvW splits everything after the program
// name, which is how the browsers of the table read their command line:
// - blanks and tabs outside quotes separate arguments;
// - 2n backslashes and a quote give n backslashes, and the quote opens or closes quoting;
//   2n+1 backslashes and a quote give n backslashes and a literal quote; backslashes before
//   anything else are literal;
// - quotes that follow at once are counted together: a third quote in a row is a literal
//   quote, and a quote right after the one that closed quoting is one too (so inside
//   quotes "" gives a literal quote and leaves quoting, and """ outside gives one quote);
// - a quote left open runs to the end of the text.
std::vector<ArgumentToken> SplitArguments(const std::string& arguments);

// The spelling that SplitArguments reads back as exactly `value`, alone or among others:
// the value itself when it is not empty and holds no blank, tab or quote; otherwise quoted,
// with each quote escaped as \" and the backslashes before a quote or the closing quote
// doubled. Two delimiting quotes are side by side only in the empty argument, so the C
// runtime, whose rule for "" differs from the shell's, reads it the same way.
std::string QuoteArgument(const std::string& value);

// True when a token's value opens a web address: a scheme http:, https:, ftp:, file:,
// javascript:, vbscript: or data: (any case); a start "www."; or a bare host name such as
// "hao123.com/?tn=1": dot-separated labels of letters, digits, '-' and non-ASCII bytes, an
// optional ":port", then anything after '/', '?' or '#', where the last label is letters
// only, two or more of them, and not a common file extension (so "Brave.exe", "x.dll" and
// "page.html" are files, not hosts).
bool IsWebAddressToken(const std::string& value);

struct ArgumentVerdict {
    // What the row shows, in order: each address, or each code-loading switch with its value,
    // as the browser receives them. Empty when the arguments are clean.
    std::vector<std::string> findings;
    // The arguments text without those tokens: the others in their order, joined by single
    // blanks, each in its own spelling where that spelling reads back alone as the same
    // argument (no quote left open, no two delimiting quotes side by side), quoted again by
    // QuoteArgument otherwise. The text exactly as given when there is no finding, or when the
    // repair is refused.
    std::string repaired;
    // Why the repair is refused: the repaired text, split and judged again, is not the kept
    // arguments or still holds a finding. Empty when the repair may be written.
    std::string refused{};
};

// Judges a browser's arguments by its switch family. Findings: a token that opens a web
// address; a switch that loads code (--load-extension, --gpu-launcher, --renderer-cmd-prefix,
// --utility-cmd-prefix, --browser-subprocess-path, in any family), with its value after '='
// or as the next token; a switch whose value after '=' has a scheme or starts "www.". The
// family's legitimate switches are never findings, whatever they hold: Chromium
// --profile-directory, --app, --app-id, --app-url (only beside --app-id), --user-data-dir,
// --incognito, --inprivate; Firefox -P and -profile with the next token as their value,
// -no-remote, -new-instance, -safe-mode, -private-window; Internet Explorer -extoff,
// -private, -noframemerging, -nohome. Firefox -url, -new-tab and -new-window go with the
// address they open. Switches start with "--", "-" or "/" (after any blanks, which the
// browsers trim) and compare without ASCII case.
ArgumentVerdict JudgeBrowserArguments(const std::string& arguments, SwitchFamily family);

// Why a repaired arguments text may not be written, or "" when it may: split as the browser
// splits it, it must give exactly the kept arguments, and judged again it must hold no
// finding. A text whose quoting does not say what the kept tokens said is caught here.
std::string RepairRefusal(const std::string& repaired, const std::vector<std::string>& kept,
                          SwitchFamily family);

}  // namespace brenvik
