#include "engine/rules/browser_command.h"

#include "engine/base/text_rules.h"

namespace brenvik {
namespace {

constexpr const char* kExecutableExtension = ".exe";
constexpr std::size_t kExecutableExtensionLength = 4;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(const std::string& text, std::size_t at) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    return at;
}

// Where an unquoted program path ends: after the first ".exe" followed by a blank or the end.
std::size_t UnquotedProgramEnd(const std::string& command) {
    std::string lowercased = command;
    LowercaseAscii(lowercased);
    for (std::size_t at = lowercased.find(kExecutableExtension); at != std::string::npos;
         at = lowercased.find(kExecutableExtension, at + 1)) {
        const std::size_t end = at + kExecutableExtensionLength;
        if (end == lowercased.size() || IsBlank(lowercased[end]))
            return end;
    }
    return std::string::npos;
}

}  // namespace

BrowserCommand ParseBrowserCommand(const std::string& command) {
    const std::size_t begin = SkipBlanks(command, 0);
    std::size_t programEnd = std::string::npos;
    std::size_t argumentsBegin = std::string::npos;
    if (begin < command.size() && command[begin] == '"') {
        programEnd = command.find('"', begin + 1);
        argumentsBegin = programEnd == std::string::npos ? programEnd : programEnd + 1;
    } else {
        programEnd = UnquotedProgramEnd(command);
        argumentsBegin = programEnd;
    }
    if (programEnd == std::string::npos)
        return BrowserCommand{nullptr, ""};
    return BrowserCommand{FindBrowserByExecutable(command.substr(begin, programEnd - begin)),
                          command.substr(SkipBlanks(command, argumentsBegin)),
                          command.substr(begin, argumentsBegin - begin)};
}

}  // namespace brenvik
