// Splitting a record file's text into its lines.
#pragma once

#include <string>
#include <vector>

namespace brenvik {

// The lines of a text, without their '\n': a last line cut short (no '\n', as a run that died
// writing it leaves it) counts as a line; a '\n' that ends the text starts none.
inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

}  // namespace brenvik
