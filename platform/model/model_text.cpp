#include "platform/model/model_text.h"

#include <algorithm>
#include <cstddef>

namespace brenvik::model {
namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}

std::vector<std::string> Split(const std::string& path, bool slashToo) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || (slashToo && c == '/')) {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

bool LessUpperCase(const std::string& a, const std::string& b) {
    auto upper = [](char c) {
        return static_cast<unsigned char>((c >= 'a' && c <= 'z') ? c - 0x20 : c);
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return upper(x) < upper(y); });
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
    return Split(path, false);
}

std::vector<std::string> SplitFilePath(const std::string& path) {
    std::vector<std::string> parts;
    for (const std::string& part : Split(path, true)) {
        if (part == ".")
            continue;
        if (part == "..") {
            // The drive itself is never left.
            if (parts.size() > 1)
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty())
            joined += '\\';
        joined += part;
    }
    return joined;
}

bool IsDrive(const std::string& part) {
    const char letter = Lower(part.empty() ? '\0' : part[0]);
    return part.size() == 2 && part[1] == ':' && letter >= 'a' && letter <= 'z';
}

bool MatchesMask(const std::string& name, const std::string& mask) {
    if (mask == "*.*")
        return true;
    // Iterative glob: remember the last '*' and retry from one character further on.
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || Lower(mask[m]) == Lower(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace brenvik::model
