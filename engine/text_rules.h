// Byte-wise text rules shared by the scanners.
#pragma once

#include <string>

namespace brenvik {

// Adds 0x20 to every byte from 'A' to 'Z' and leaves every other byte alone, bytes of
// 0x80 and above included: the second byte of a double-byte character changes too.
inline void LowercaseAscii(std::string& text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 0x20);
    }
}

// The longest path the 260-byte path buffers hold, without the terminating NUL.
constexpr std::size_t kMaxPathLength = 259;

}  // namespace brenvik
