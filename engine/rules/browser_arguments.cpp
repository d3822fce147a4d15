#include "engine/rules/browser_arguments.h"

#include <cstring>
#include <utility>

#include "engine/base/text_rules.h"

namespace brenvik {
namespace {

// Switches that make the browser run or load code of the shortcut's choosing, in any family.
const char* const kCodeLoadingSwitches[] = {
    "load-extension",          "gpu-launcher", "renderer-cmd-prefix", "utility-cmd-prefix",
    "browser-subprocess-path",
};

enum class SwitchUse {
    Allowed,           // never a finding and never removed
    AllowedWithValue,  // the same, and the next token is its value (Firefox -P name)
    OpensAddress,      // the next token is an address to open: goes with it when it is one
};

struct SwitchRule {
    SwitchFamily family;
    const char* name;  // lowercase, without its "--", "-" or "/"
    SwitchUse use;
    const char* onlyBeside;  // allowed only when this switch is given too; null: always
};

// clang-format off
const SwitchRule kSwitchRules[] = {
    {SwitchFamily::Chromium, "profile-directory", SwitchUse::Allowed, nullptr},
    {SwitchFamily::Chromium, "app", SwitchUse::Allowed, nullptr},  // an installed web app
    {SwitchFamily::Chromium, "app-id", SwitchUse::Allowed, nullptr},
    {SwitchFamily::Chromium, "app-url", SwitchUse::Allowed, "app-id"},
    {SwitchFamily::Chromium, "user-data-dir", SwitchUse::Allowed, nullptr},
    {SwitchFamily::Chromium, "incognito", SwitchUse::Allowed, nullptr},
    {SwitchFamily::Chromium, "inprivate", SwitchUse::Allowed, nullptr},
    {SwitchFamily::Firefox, "p", SwitchUse::AllowedWithValue, nullptr},
    {SwitchFamily::Firefox, "profile", SwitchUse::AllowedWithValue, nullptr},
    {SwitchFamily::Firefox, "no-remote", SwitchUse::Allowed, nullptr},
    {SwitchFamily::Firefox, "new-instance", SwitchUse::Allowed, nullptr},
    {SwitchFamily::Firefox, "safe-mode", SwitchUse::Allowed, nullptr},
    {SwitchFamily::Firefox, "private-window", SwitchUse::Allowed, nullptr},
    {SwitchFamily::Firefox, "url", SwitchUse::OpensAddress, nullptr},
    {SwitchFamily::Firefox, "new-tab", SwitchUse::OpensAddress, nullptr},
    {SwitchFamily::Firefox, "new-window", SwitchUse::OpensAddress, nullptr},
    {SwitchFamily::InternetExplorer, "extoff", SwitchUse::Allowed, nullptr},
    {SwitchFamily::InternetExplorer, "private", SwitchUse::Allowed, nullptr},
    {SwitchFamily::InternetExplorer, "noframemerging", SwitchUse::Allowed, nullptr},
    {SwitchFamily::InternetExplorer, "nohome", SwitchUse::Allowed, nullptr},
};
// clang-format on

// vbscript: runs code in Internet Explorer just as javascript: does.
const char* const kAddressSchemes[] = {
    "http:", "https:", "ftp:", "file:", "javascript:", "vbscript:", "data:"};

// Last labels that name a file rather than a host. Extensions that are also common top-level
// domains (com, py, sh, ...) are left out: "hao123.com" given alone is opened as a site.
const char* const kFileExtensions[] = {
    "exe",  "dll",  "sys",   "bat",   "cmd", "vbs",   "vbe",  "js",   "jse",  "wsf", "wsh", "hta",
    "ps1",  "msi",  "msp",   "lnk",   "url", "pif",   "scr",  "cpl",  "ocx",  "inf", "ini", "reg",
    "html", "htm",  "xhtml", "shtml", "mht", "mhtml", "xml",  "json", "txt",  "log", "csv", "pdf",
    "doc",  "docx", "xls",   "xlsx",  "ppt", "pptx",  "rtf",  "jpg",  "jpeg", "png", "gif", "bmp",
    "ico",  "svg",  "webp",  "mp3",   "mp4", "avi",   "wav",  "zip",  "rar",  "cab", "iso", "crx",
    "xpi",  "jar",  "swf",   "css",   "php", "asp",   "aspx", "jsp",  "dat",  "tmp", "bak", "db",
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHighByte(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

std::string Lowercased(std::string text) {
    LowercaseAscii(text);
    return text;
}

std::string TrimmedBlanks(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool IsFileExtension(const std::string& lowercasedLabel) {
    for (const char* extension : kFileExtensions) {
        if (lowercasedLabel == extension)
            return true;
    }
    return false;
}

bool IsTopLevelLabel(const std::string& label) {
    if (label.size() < 2)
        return false;
    for (char c : label) {
        if (!IsAsciiLetter(c) && !IsHighByte(c))
            return false;
    }
    return !IsFileExtension(Lowercased(label));
}

// "name.name...tld" with no empty label and only host characters.
bool IsHostName(const std::string& host) {
    std::size_t labels = 0;
    std::size_t begin = 0;
    while (true) {
        const std::size_t dot = host.find('.', begin);
        const std::string label = host.substr(begin, dot - begin);
        if (label.empty())
            return false;
        for (char c : label) {
            if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '-' && !IsHighByte(c))
                return false;
        }
        ++labels;
        if (dot == std::string::npos)
            return labels >= 2 && IsTopLevelLabel(label);
        begin = dot + 1;
    }
}

bool IsBareHostAddress(const std::string& value) {
    const std::size_t hostEnd = value.find_first_of(":/?#");
    if (!IsHostName(value.substr(0, hostEnd)))
        return false;
    if (hostEnd == std::string::npos || value[hostEnd] != ':')
        return true;
    // A port: digits up to the path, query, fragment or end.
    std::size_t at = hostEnd + 1;
    const std::size_t portBegin = at;
    while (at < value.size() && IsAsciiDigit(value[at])) ++at;
    return at > portBegin && (at == value.size() || std::strchr("/?#", value[at]) != nullptr);
}

bool HasSchemeOrWww(const std::string& lowercasedValue) {
    for (const char* scheme : kAddressSchemes) {
        if (StartsWith(lowercasedValue, scheme))
            return true;
    }
    return StartsWith(lowercasedValue, "www.");
}

struct SwitchToken {
    bool isSwitch = false;
    std::string name;  // lowercase, prefix removed
    bool hasValue = false;
    std::string value;  // after '='
};

// "--name", "-name" or "/name", each with an optional "=value"; the name starts with a letter.
SwitchToken ParseSwitch(const std::string& tokenValue) {
    SwitchToken parsed;
    std::size_t nameBegin = 0;
    if (StartsWith(tokenValue, "--"))
        nameBegin = 2;
    else if (StartsWith(tokenValue, "-") || StartsWith(tokenValue, "/"))
        nameBegin = 1;
    if (nameBegin == 0 || nameBegin >= tokenValue.size() || !IsAsciiLetter(tokenValue[nameBegin]))
        return parsed;
    parsed.isSwitch = true;
    const std::size_t equals = tokenValue.find('=', nameBegin);
    parsed.name = Lowercased(tokenValue.substr(nameBegin, equals - nameBegin));
    if (equals != std::string::npos) {
        parsed.hasValue = true;
        parsed.value = tokenValue.substr(equals + 1);
    }
    return parsed;
}

bool IsCodeLoadingSwitch(const std::string& name) {
    for (const char* codeLoading : kCodeLoadingSwitches) {
        if (name == codeLoading)
            return true;
    }
    return false;
}

const SwitchRule* FindSwitchRule(SwitchFamily family, const std::string& name) {
    for (const SwitchRule& rule : kSwitchRules) {
        if (rule.family == family && name == rule.name)
            return &rule;
    }
    return nullptr;
}

// Walks the tokens once, moving each into the findings or the kept list.
class ArgumentJudge {
public:
    ArgumentJudge(std::vector<ArgumentToken> tokens, SwitchFamily family)
        : m_tokens(std::move(tokens)), m_family(family) {
        for (const ArgumentToken& token : m_tokens)
            m_switches.push_back(ParseSwitch(TrimmedBlanks(token.value)));
    }

    void run() {
        for (std::size_t at = 0; at < m_tokens.size();) at += judgeAt(at);
    }

    std::vector<std::string> takeFindings() { return std::move(m_findings); }
    const std::vector<const ArgumentToken*>& kept() const { return m_kept; }

private:
    // Judges the token at `at` and returns how many tokens it used (1 or 2).
    std::size_t judgeAt(std::size_t at) {
        const SwitchToken& parsed = m_switches[at];
        if (!parsed.isSwitch) {
            if (IsWebAddressToken(m_tokens[at].value))
                return report(at, 1);
            return keep(at, 1);
        }
        const std::size_t withValue = !parsed.hasValue && hasPlainTokenAt(at + 1) ? 2 : 1;
        if (IsCodeLoadingSwitch(parsed.name))
            return report(at, withValue);
        const SwitchRule* rule = FindSwitchRule(m_family, parsed.name);
        if (rule != nullptr && (rule->onlyBeside == nullptr || hasSwitch(rule->onlyBeside))) {
            if (rule->use == SwitchUse::AllowedWithValue)
                return keep(at, withValue);
            if (rule->use == SwitchUse::OpensAddress && withValue == 2 &&
                IsWebAddressToken(m_tokens[at + 1].value))
                return report(at, 2);
            return keep(at, 1);
        }
        if (parsed.hasValue && HasSchemeOrWww(Lowercased(TrimmedBlanks(parsed.value))))
            return report(at, 1);
        return keep(at, 1);
    }

    // A token that is there and is not itself a switch: a switch's value given apart.
    bool hasPlainTokenAt(std::size_t at) const {
        return at < m_tokens.size() && !m_switches[at].isSwitch;
    }

    bool hasSwitch(const char* name) const {
        for (const SwitchToken& parsed : m_switches) {
            if (parsed.isSwitch && parsed.name == name)
                return true;
        }
        return false;
    }

    std::size_t report(std::size_t at, std::size_t count) {
        std::string shown = m_tokens[at].value;
        if (count == 2)
            shown += ' ' + m_tokens[at + 1].value;
        m_findings.push_back(std::move(shown));
        return count;
    }

    std::size_t keep(std::size_t at, std::size_t count) {
        for (std::size_t i = at; i < at + count; ++i) m_kept.push_back(&m_tokens[i]);
        return count;
    }

    const std::vector<ArgumentToken> m_tokens;
    const SwitchFamily m_family;
    std::vector<SwitchToken> m_switches;  // one per token
    std::vector<std::string> m_findings;
    std::vector<const ArgumentToken*> m_kept;
};

// Two quotes side by side that both delimit (neither escaped by an odd run of backslashes):
// the shell's rule and the C runtime's (which some browsers parse with) read them differently.
bool HasBareQuotePair(const std::string& text) {
    std::size_t backslashes = 0;
    bool afterBareQuote = false;
    for (char c : text) {
        const bool bareQuote = c == '"' && backslashes % 2 == 0;
        if (bareQuote && afterBareQuote)
            return true;
        afterBareQuote = bareQuote;
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    return false;
}

// A kept token's own spelling is kept when it reads back alone as the same argument, in
// either rule: it closes every quote it opens and holds no bare pair of quotes (the empty
// argument "" aside).
bool KeepsSpelling(const ArgumentToken& token) {
    return !token.open && (token.text == "\"\"" || !HasBareQuotePair(token.text));
}

std::string JoinedValues(const std::vector<std::string>& values) {
    std::string joined;
    for (const std::string& value : values) joined += (joined.empty() ? "" : " ") + value;
    return joined;
}

}  // namespace

std::vector<ArgumentToken> SplitArguments(const std::string& arguments) {
    // Between characters: outside quotes, inside, or just after the quote that closed them,
    // where one more quote is a literal one (and leaves quoting closed).
    enum class Quoting { Outside, Inside, JustClosed };
    std::vector<ArgumentToken> tokens;
    std::size_t at = 0;
    while (true) {
        while (at < arguments.size() && IsBlank(arguments[at])) ++at;
        if (at == arguments.size())
            return tokens;
        ArgumentToken token;
        Quoting quoting = Quoting::Outside;
        std::size_t backslashes = 0;  // the run just before `at`
        for (; at < arguments.size(); ++at) {
            const char c = arguments[at];
            if (IsBlank(c) && quoting != Quoting::Inside)
                break;
            token.text += c;
            if (c != '"') {
                token.value += c;
                backslashes = c == '\\' ? backslashes + 1 : 0;
                if (quoting == Quoting::JustClosed)
                    quoting = Quoting::Outside;
                continue;
            }
            // Half the backslashes stay; an odd one left over makes the quote literal.
            token.value.erase(token.value.size() - (backslashes + 1) / 2);
            const bool escaped = backslashes % 2 == 1;
            backslashes = 0;
            // An escaped quote follows a backslash, which has already ended JustClosed.
            if (escaped) {
                token.value += '"';
            } else if (quoting == Quoting::Outside) {
                quoting = Quoting::Inside;
            } else if (quoting == Quoting::Inside) {
                quoting = Quoting::JustClosed;
            } else {
                token.value += '"';
                quoting = Quoting::Outside;
            }
        }
        token.open = quoting == Quoting::Inside;
        tokens.push_back(std::move(token));
    }
}

std::string QuoteArgument(const std::string& value) {
    if (!value.empty() && value.find_first_of(" \t\"") == std::string::npos)
        return value;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : value) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Before a quote each backslash is doubled and one more escapes the quote.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, '\\');  // so that the closing quote still closes
    return quoted + '"';
}

bool IsWebAddressToken(const std::string& value) {
    const std::string trimmed = TrimmedBlanks(value);
    return HasSchemeOrWww(Lowercased(trimmed)) || IsBareHostAddress(trimmed);
}

std::string RepairRefusal(const std::string& repaired, const std::vector<std::string>& kept,
                          SwitchFamily family) {
    std::vector<std::string> values;
    std::vector<ArgumentToken> tokens = SplitArguments(repaired);
    for (const ArgumentToken& token : tokens) values.push_back(token.value);
    if (values != kept)
        return "the repaired arguments would not read back as the kept ones";
    ArgumentJudge judge(std::move(tokens), family);
    judge.run();
    const std::vector<std::string> findings = judge.takeFindings();
    if (!findings.empty())
        return "the repaired arguments still hold " + JoinedValues(findings);
    return std::string();
}

ArgumentVerdict JudgeBrowserArguments(const std::string& arguments, SwitchFamily family) {
    ArgumentJudge judge(SplitArguments(arguments), family);
    judge.run();
    ArgumentVerdict verdict;
    verdict.findings = judge.takeFindings();
    if (verdict.findings.empty()) {
        verdict.repaired = arguments;
        return verdict;
    }
    std::vector<std::string> keptValues;
    std::string repaired;
    for (const ArgumentToken* token : judge.kept()) {
        if (!repaired.empty())
            repaired += ' ';
        repaired += KeepsSpelling(*token) ? token->text : QuoteArgument(token->value);
        keptValues.push_back(token->value);
    }
    verdict.refused = RepairRefusal(repaired, keptValues, family);
    verdict.repaired = verdict.refused.empty() ? repaired : arguments;
    return verdict;
}

}  // namespace brenvik
