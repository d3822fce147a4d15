#include <winsock2.h>

#include "app/connectivity.h"

#include <cstring>

#include "app/settings.h"

namespace brenvik {

namespace {

class WinsockNameService final : public NameService {
public:
    int start() override {
        WSADATA data = {};
        return WSAStartup(0x0101, &data);
    }

    void hostName(char* buffer, int size) override { gethostname(buffer, size); }

    // gethostbyname's entry belongs to the thread and stays valid until its next call.
    bool resolve(const char* name) override {
        m_pHost = gethostbyname(name);
        return m_pHost != nullptr;
    }

    const char* addressText(int index) override {
        const char* address = m_pHost->h_addr_list[index];
        if (address == nullptr) {
            return nullptr;
        }
        in_addr inet;
        memcpy(&inet, address, sizeof(inet));
        return inet_ntoa(inet);
    }

    void cleanup() override { WSACleanup(); }

private:
    const hostent* m_pHost = nullptr;
};

}  // namespace

std::unique_ptr<NameService> MakeWinsockNameService() {
    return std::make_unique<WinsockNameService>();
}

int CheckBannerConnectivity(HWND hWindow, NameService& names) {
    if (!IsWindow(hWindow)) {
        return 0;
    }
    return DecideBannerConnectivity(names, WebSiteHost);
}

}  // namespace brenvik
