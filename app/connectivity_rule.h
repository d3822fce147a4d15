// Whether the banner page may be shown, decided over a replaceable name service.
#pragma once

namespace brenvik {

// The few name-service operations the decision needs, mirroring Windows Sockets 1.1.
class NameService {
public:
    virtual ~NameService() = default;

    // 0 when the service has started; anything else means no cleanup is owed.
    virtual int start() = 0;
    // Writes the local host name into buffer; leaves the buffer as it was on failure.
    virtual void hostName(char* buffer, int size) = 0;
    // True when the name resolved; addressText then reads that entry's address list.
    virtual bool resolve(const char* name) = 0;
    // Dotted-decimal text of the address at index in the last resolved entry; null past
    // the end of the list.
    virtual const char* addressText(int index) = 0;
    virtual void cleanup() = 0;
};

// Size of the local host-name buffer, and the last address index that is examined.
constexpr int kHostNameSize = 100;
constexpr int kLastAddressIndex = 50;

// 1 when the local host has an address other than loop-back among its first 51 and
// webSiteHost resolves, else 0. The service is cleaned up on every path after it started.
int DecideBannerConnectivity(NameService& names, const char* webSiteHost);

}  // namespace brenvik
