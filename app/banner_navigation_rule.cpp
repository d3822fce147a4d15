#include "app/banner_navigation_rule.h"

#include <cstddef>
#include <string>

namespace brenvik {

namespace {

struct Origin {
    std::string scheme;
    std::string host;
    unsigned port = 0;
};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        c = Lower(c);
    }
    return lowered;
}

bool IsControlOrBackslash(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f || c == '\\';
}

// A host name character as the rule accepts it: anything printable that ends no part of the
// authority and carries no user information. Bytes of UTF-8 (an IDN as written) and percent
// escapes are kept as they are: such a host equals only the same text.
bool IsHostCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte != 0x7f && c != '@' && c != '/' && c != '?' && c != '#' &&
           c != ':' && c != '[' && c != ']' && c != '\\';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Decimal digits up to 65535; leading zeros are the same port, as browsers read them.
bool ParsePort(std::string_view text, unsigned& port) {
    if (text.empty()) {
        return false;
    }
    unsigned value = 0;
    for (char c : text) {
        if (!IsDigit(c)) {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 65535) {
            return false;
        }
    }
    port = value;
    return true;
}

// "host[:port]" or "[v6]:port": false for anything else, userinfo included.
bool ParseAuthority(std::string_view authority, Origin& origin) {
    std::string_view host = authority;
    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            return false;
        }
        host = authority.substr(0, close + 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                return false;
            }
            port = rest.substr(1);
            if (port.empty()) {
                return false;
            }
        }
        for (char c : host.substr(1, host.size() - 2)) {
            if (!IsDigit(c) && !(Lower(c) >= 'a' && Lower(c) <= 'f') && c != ':' && c != '.') {
                return false;
            }
        }
        if (host.size() <= 2) {
            return false;
        }
    } else {
        const size_t colon = authority.find(':');
        if (colon != std::string_view::npos) {
            host = authority.substr(0, colon);
            port = authority.substr(colon + 1);
            if (port.empty()) {
                return false;
            }
        }
        if (host.empty()) {
            return false;
        }
        for (char c : host) {
            if (!IsHostCharacter(c)) {
                return false;
            }
        }
    }
    origin.port = 443;
    if (!port.empty() && !ParsePort(port, origin.port)) {
        return false;
    }
    origin.host = Lowered(host);
    return true;
}

// Scheme, host and port of an absolute "scheme://authority[/?#...]" address.
bool ParseOrigin(std::string_view url, Origin& origin) {
    for (char c : url) {
        if (IsControlOrBackslash(c)) {
            return false;
        }
    }
    const size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    const std::string_view scheme = url.substr(0, colon);
    for (char c : scheme) {
        const char lower = Lower(c);
        if (!(lower >= 'a' && lower <= 'z') && !IsDigit(c) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    if (url.substr(colon + 1, 2) != "//") {
        return false;
    }
    const std::string_view rest = url.substr(colon + 3);
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    origin.scheme = Lowered(scheme);
    return ParseAuthority(authority, origin);
}

}  // namespace

bool IsBannerNavigationAllowed(std::string_view url, std::string_view pageUrl) {
    Origin page;
    Origin target;
    if (!ParseOrigin(pageUrl, page) || page.scheme != "https" || !ParseOrigin(url, target)) {
        return false;
    }
    return target.scheme == "https" && target.host == page.host && target.port == page.port;
}

}  // namespace brenvik
