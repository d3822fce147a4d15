// Text as the registry stores it: UTF-16LE with its terminator.
#pragma once

#include <string>

namespace brenvik {

// The stored bytes of a REG_SZ or REG_EXPAND_SZ value holding utf8, its NUL included. A byte
// that starts no whole UTF-8 sequence becomes U+FFFD, as MultiByteToWideChar makes it.
std::string StoredText(const std::string& utf8);

}  // namespace brenvik
