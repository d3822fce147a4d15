#include "app/connectivity_rule.h"

namespace brenvik {

namespace {

constexpr char kLoopbackText[] = "127.0.0.1";

bool EqualsIgnoringCase(const char* left, const char* right) {
    auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    for (; *left != '\0' && *right != '\0'; ++left, ++right) {
        if (lower(*left) != lower(*right)) {
            return false;
        }
    }
    return *left == *right;
}

// True when one of the entries 0..kLastAddressIndex of the resolved list is not loop-back.
bool HasNetworkAddress(NameService& names) {
    for (int index = 0; index <= kLastAddressIndex; ++index) {
        const char* text = names.addressText(index);
        if (text == nullptr) {
            return false;
        }
        if (!EqualsIgnoringCase(text, kLoopbackText)) {
            return true;
        }
    }
    return false;
}

int DecideStarted(NameService& names, const char* webSiteHost) {
    char hostName[kHostNameSize] = {};
    names.hostName(hostName, kHostNameSize);
    // gethostname need not terminate a name that fills the buffer.
    hostName[kHostNameSize - 1] = '\0';
    if (!names.resolve(hostName) || !HasNetworkAddress(names)) {
        return 0;
    }
    return names.resolve(webSiteHost) ? 1 : 0;
}

}  // namespace

int DecideBannerConnectivity(NameService& names, const char* webSiteHost) {
    if (names.start() != 0) {
        return 0;
    }
    const int result = DecideStarted(names, webSiteHost);
    names.cleanup();
    return result;
}

}  // namespace brenvik
