// UTF-8 (the engine's text) to and from UTF-16 (the wide Win32 calls), at the platform's edge.
#pragma once

#include <windows.h>

#include <string>

namespace brenvik {

// Invalid UTF-8 sequences become U+FFFD.
inline std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

// Unpaired surrogates become U+FFFD.
inline std::string WideToUtf8(const wchar_t* text, std::size_t length) {
    if (length == 0)
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr,
                        nullptr);
    return utf8;
}

inline std::string WideToUtf8(const std::wstring& text) {
    return WideToUtf8(text.data(), text.size());
}

}  // namespace brenvik
