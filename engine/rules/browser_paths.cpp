#include "engine/rules/browser_paths.h"

#include "engine/base/text_rules.h"

namespace brenvik {
namespace {

bool IsTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '"';
}

char NormalizedChar(char c) {
    return c == '/' ? '\\' : LowercaseAsciiChar(c);
}

}  // namespace

std::string NormalizedPath(const std::string& path) {
    std::size_t begin = 0;
    std::size_t end = path.size();
    while (begin < end && IsTrimmed(path[begin])) ++begin;
    while (end > begin && IsTrimmed(path[end - 1])) --end;
    std::string normalized = path.substr(begin, end - begin);
    for (char& c : normalized) c = NormalizedChar(c);
    return normalized;
}

std::string PathFileName(const std::string& normalizedPath) {
    const std::size_t slash = normalizedPath.rfind('\\');
    return slash == std::string::npos ? normalizedPath : normalizedPath.substr(slash + 1);
}

std::string_view RawPathFileName(const std::string& path) {
    std::size_t begin = 0;
    std::size_t end = path.size();
    while (begin < end && IsTrimmed(path[begin])) ++begin;
    while (end > begin && IsTrimmed(path[end - 1])) --end;
    std::size_t start = end;
    while (start > begin && NormalizedChar(path[start - 1]) != '\\') --start;
    return std::string_view(path).substr(start, end - start);
}

bool EqualsLowercased(std::string_view text, std::string_view lowercasedText) {
    if (text.size() != lowercasedText.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (LowercaseAsciiChar(text[i]) != lowercasedText[i])
            return false;
    }
    return true;
}

std::string PathExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot);
}

bool HasExtension(const std::string& fileName, const std::string& lowercasedExtension) {
    return fileName.size() >= lowercasedExtension.size() &&
           EqualsLowercased(
               std::string_view(fileName).substr(fileName.size() - lowercasedExtension.size()),
               lowercasedExtension);
}

bool IsPathUnderFolder(const std::string& normalizedPath, const std::string& folder) {
    // Compared byte by byte as NormalizedPath would make the folder, without making it.
    std::size_t begin = 0;
    std::size_t end = folder.size();
    while (begin < end && IsTrimmed(folder[begin])) ++begin;
    while (end > begin && IsTrimmed(folder[end - 1])) --end;
    while (end > begin && NormalizedChar(folder[end - 1]) == '\\') --end;
    const std::size_t length = end - begin;
    if (length == 0)
        return false;  // an unknown folder must not put every path "below" it
    if (normalizedPath.size() <= length + 1 || normalizedPath[length] != '\\')
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (normalizedPath[i] != NormalizedChar(folder[begin + i]))
            return false;
    }
    return true;
}

}  // namespace brenvik
