// Which addresses the banner's browser may load: the banner page's own https host, nothing
// else. Plain C++, so that it is tested natively.
#pragma once

#include <string_view>

namespace brenvik {

// True when url is an https address on exactly the host and port of pageUrl, itself an https
// address. The scheme and host compare case-insensitively (ASCII letters only: IDN and
// percent-encoded hosts compare as written); an absent port is 443. Refused: any other
// scheme, user information ("@") in the authority, a malformed or empty host or port, a space
// in the authority, and a backslash or control character anywhere (browsers read a backslash
// as a slash, and drop tabs and line breaks from addresses).
bool IsBannerNavigationAllowed(std::string_view url, std::string_view pageUrl);

}  // namespace brenvik
