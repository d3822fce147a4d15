#include "engine/browser_paths.h"

#include "engine/text_rules.h"

namespace brenvik {
namespace {

bool IsTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '"';
}

}  // namespace

std::string NormalizedPath(const std::string& path) {
    std::size_t begin = 0;
    std::size_t end = path.size();
    while (begin < end && IsTrimmed(path[begin])) ++begin;
    while (end > begin && IsTrimmed(path[end - 1])) --end;
    std::string normalized = path.substr(begin, end - begin);
    for (char& c : normalized) {
        if (c == '/')
            c = '\\';
    }
    LowercaseAscii(normalized);
    return normalized;
}

std::string PathFileName(const std::string& normalizedPath) {
    const std::size_t slash = normalizedPath.rfind('\\');
    return slash == std::string::npos ? normalizedPath : normalizedPath.substr(slash + 1);
}

std::string PathExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot);
}

bool IsPathUnderFolder(const std::string& normalizedPath, const std::string& folder) {
    std::string prefix = NormalizedPath(folder);
    while (!prefix.empty() && prefix.back() == '\\') prefix.pop_back();
    if (prefix.empty())
        return false;  // an unknown folder must not put every path "below" it
    prefix += '\\';
    return normalizedPath.size() > prefix.size() &&
           normalizedPath.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace brenvik
