// Browser arguments: the tokens that open a web address or load code, and the text without them.
#pragma once

#include <string>
#include <vector>

#include "engine/browser_table.h"

namespace brenvik {

struct ArgumentToken {
    std::string text;   // as spelled in the arguments text, quotes included
    std::string value;  // the same with every quote removed
};

// Splits an arguments text at runs of blanks and tabs outside quotes. A quote opens only when
// another one follows, so a stray closing quote stays part of its token (and leaves the rest
// of the text alone) instead of swallowing everything after it.
std::vector<ArgumentToken> SplitArguments(const std::string& arguments);

// True when a token's value opens a web address: a scheme http:, https:, ftp:, file:,
// javascript:, vbscript: or data: (any case); a start "www."; or a bare host name such as
// "hao123.com/?tn=1": dot-separated labels of letters, digits, '-' and non-ASCII bytes, an
// optional ":port", then anything after '/', '?' or '#', where the last label is letters
// only, two or more of them, and not a common file extension (so "Brave.exe", "x.dll" and
// "page.html" are files, not hosts).
bool IsWebAddressToken(const std::string& value);

struct ArgumentVerdict {
    // What the row shows, in order: each address, or each code-loading switch with its value,
    // quotes removed. Empty when the arguments are clean.
    std::vector<std::string> findings;
    // The arguments text without those tokens: the others in their order and spelling,
    // joined by single blanks. The text exactly as given when there is no finding.
    std::string repaired;
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
// address they open. Switches start with "--", "-" or "/" and compare without ASCII case.
ArgumentVerdict JudgeBrowserArguments(const std::string& arguments, SwitchFamily family);

}  // namespace brenvik
