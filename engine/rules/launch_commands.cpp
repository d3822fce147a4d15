#include "engine/rules/launch_commands.h"

#include <algorithm>
#include <string_view>

#include "engine/base/text_rules.h"
#include "engine/rules/browser_arguments.h"
#include "engine/rules/browser_command.h"
#include "engine/rules/browser_paths.h"
#include "engine/rules/browser_shortcut_rules.h"

namespace brenvik {
namespace {

// The entry points of rundll32 that hand an address to the default browser.
const std::string_view kOpenAddressEntries[] = {
    "url.dll,fileprotocolhandler",
    "ieframe.dll,openurl",
    "shdocvw.dll,openurl",
};

std::string Lowercased(std::string text) {
    LowercaseAscii(text);
    return text;
}

// The file name of a program, lowercased, without ".exe": "cmd", "rundll32".
std::string ProgramName(const std::string& program) {
    std::string name = PathFileName(NormalizedPath(program));
    if (HasExtension(name, ".exe"))
        name.resize(name.size() - 4);
    return name;
}

// "url.dll,FileProtocolHandler" or "C:\Windows\System32\url.dll,FileProtocolHandler".
bool IsOpenAddressEntry(const std::string& value) {
    const std::string entry = PathFileName(NormalizedPath(value));
    for (const std::string_view known : kOpenAddressEntries) {
        if (entry == known)
            return true;
    }
    return false;
}

bool IsPlaceholder(const std::string& value) {
    const std::string lowered = Lowercased(value);
    return lowered == "%1" || lowered == "%l";
}

std::string Joined(const std::vector<std::string>& values) {
    std::string joined;
    for (const std::string& value : values) joined += (joined.empty() ? "" : " ") + value;
    return joined;
}

// The tokens after the program: split as the program's own runtime splits them.
std::vector<std::string> Values(const std::string& arguments) {
    std::vector<std::string> values;
    for (const ArgumentToken& token : SplitArguments(arguments)) values.push_back(token.value);
    return values;
}

std::string FirstAddress(const std::vector<std::string>& values, std::size_t from) {
    for (std::size_t i = from; i < values.size(); ++i) {
        if (IsWebAddressToken(values[i]))
            return values[i];
    }
    return std::string();
}

// cmd /c start ["title"] <address>: what follows /c or /k is a command line of its own,
// quoted whole or not.
std::string CmdStartAddress(const std::vector<ArgumentToken>& tokens) {
    std::size_t i = 0;
    while (i < tokens.size() && Lowercased(tokens[i].value) != "/c" &&
           Lowercased(tokens[i].value) != "/k")
        ++i;
    std::string rest;
    for (++i; i < tokens.size(); ++i) rest += (rest.empty() ? "" : " ") + tokens[i].text;
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"')
        rest = rest.substr(1, rest.size() - 2);
    const std::vector<ArgumentToken> inner = SplitArguments(rest);
    if (inner.empty() || Lowercased(inner[0].value) != "start")
        return std::string();
    std::size_t at = 1;
    // start takes its first quoted argument as the window's title.
    if (at < inner.size() && !inner[at].text.empty() && inner[at].text.front() == '"')
        ++at;
    return at < inner.size() && IsWebAddressToken(inner[at].value) ? inner[at].value
                                                                   : std::string();
}

// ParseBrowserCommand, and for a program it finds none in (a script, a bare "cmd", an address)
// the text up to the first blank.
BrowserCommand ParseCommand(const std::string& command) {
    BrowserCommand parsed = ParseBrowserCommand(command);
    if (!parsed.program.empty())
        return parsed;
    const std::size_t begin = command.find_first_not_of(" \t");
    if (begin == std::string::npos || command[begin] == '"')
        return parsed;
    const std::size_t end = std::min(command.find_first_of(" \t", begin), command.size());
    parsed.program = command.substr(begin, end - begin);
    const std::size_t arguments = command.find_first_not_of(" \t", end);
    parsed.arguments = arguments == std::string::npos ? std::string() : command.substr(arguments);
    return parsed;
}

}  // namespace

LaunchVerdict JudgeLaunchCommand(const std::string& command, bool browserOwned,
                                 const std::vector<std::string>& userFolders) {
    const BrowserCommand parsed = ParseCommand(command);
    LaunchVerdict verdict;
    if (parsed.browser != nullptr) {
        const ArgumentVerdict judged =
            JudgeBrowserArguments(parsed.arguments, parsed.browser->family);
        if (judged.findings.empty())
            return verdict;
        verdict.hijack = LaunchHijack::Arguments;
        verdict.site = Joined(judged.findings);
        verdict.repaired = parsed.program + (judged.repaired.empty() ? "" : " " + judged.repaired);
        verdict.refused = judged.refused;
        return verdict;
    }
    if (!browserOwned || parsed.program.empty())
        return verdict;
    const std::vector<std::string> values = Values(parsed.arguments);
    if (ProgramName(parsed.program) == "rundll32" && values.size() == 2 &&
        IsOpenAddressEntry(values[0]) && IsPlaceholder(values[1]))
        return verdict;
    if (IsNonBrowserLauncher(parsed.program, userFolders)) {
        verdict.hijack = LaunchHijack::ReplacedTarget;
        verdict.site = command;
    }
    return verdict;
}

std::string ParseLaunchProgram(const std::string& command) {
    return ParseCommand(command).program;
}

const char* LinkPlaceholder(SwitchFamily family) {
    switch (family) {
        case SwitchFamily::Chromium:
            return "--single-argument %1";
        case SwitchFamily::Firefox:
            return "-osint -url \"%1\"";
        case SwitchFamily::InternetExplorer:
            break;
    }
    return "%1";
}

std::string StartupAddress(const std::string& command) {
    const BrowserCommand parsed = ParseCommand(command);
    if (parsed.browser != nullptr)
        return Joined(JudgeBrowserArguments(parsed.arguments, parsed.browser->family).findings);
    if (parsed.program.empty())
        return std::string();
    const std::vector<std::string> values = Values(parsed.arguments);
    const std::string program = ProgramName(parsed.program);
    if (values.empty()) {
        const std::string alone = Values(parsed.program).front();
        return IsWebAddressToken(alone) ? alone : std::string();
    }
    if (program == "cmd")
        return CmdStartAddress(SplitArguments(parsed.arguments));
    if (program == "explorer" || program == "mshta")
        return FirstAddress(values, 0);
    if (program == "rundll32" && IsOpenAddressEntry(values[0]))
        return FirstAddress(values, 1);
    return std::string();
}

}  // namespace brenvik
