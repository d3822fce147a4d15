#include "app/connectivity_rule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace brenvik {
namespace {

constexpr char kSite[] = "www.example.test";
constexpr char kLocalName[] = "workstation";

// Answers from tables and records what was asked.
class FakeNameService final : public NameService {
public:
    int start() override {
        ++starts;
        return startResult;
    }
    void hostName(char* buffer, int size) override {
        std::memcpy(buffer, localName.data(), std::min<size_t>(localName.size(), size));
    }
    bool resolve(const char* name) override {
        resolved.push_back(name);
        auto found = hosts.find(name);
        m_pEntry = found == hosts.end() ? nullptr : &found->second;
        return m_pEntry != nullptr;
    }
    const char* addressText(int index) override {
        highestIndex = std::max(highestIndex, index);
        if (m_pEntry == nullptr || index >= static_cast<int>(m_pEntry->size())) {
            return nullptr;
        }
        return (*m_pEntry)[index].c_str();
    }
    void cleanup() override { ++cleanups; }

    int startResult = 0;
    std::string localName = kLocalName;
    std::map<std::string, std::vector<std::string>> hosts;
    int starts = 0;
    int cleanups = 0;
    int highestIndex = -1;
    std::vector<std::string> resolved;

private:
    const std::vector<std::string>* m_pEntry = nullptr;
};

std::vector<std::string> Loopbacks(int count) {
    return std::vector<std::string>(count, "127.0.0.1");
}

std::vector<std::string> Then(std::vector<std::string> list, const std::string& address) {
    list.push_back(address);
    return list;
}

struct Case {
    const char* name;
    bool localResolves;
    std::vector<std::string> localAddresses;
    bool siteResolves;
    int expected;
    bool siteLookedUp;
};

TEST(BannerConnectivity, DecidesFromLocalAddressesAndSiteLookup) {
    const Case cases[] = {
        {"only loop-back", true, Loopbacks(1), true, 0, false},
        {"loop-back then network, site found", true, Then(Loopbacks(1), "192.168.1.20"), true, 1,
         true},
        {"network address, site not found", true, {"10.0.0.5"}, false, 0, true},
        {"empty address list", true, {}, true, 0, false},
        {"local name not found", false, {}, true, 0, false},
        {"network address at index 50", true, Then(Loopbacks(50), "10.1.2.3"), true, 1, true},
        {"network address at index 51", true, Then(Loopbacks(51), "10.1.2.3"), true, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeNameService names;
        if (c.localResolves) {
            names.hosts[kLocalName] = c.localAddresses;
        }
        if (c.siteResolves) {
            names.hosts[kSite] = {"203.0.113.7"};
        }

        EXPECT_EQ(c.expected, DecideBannerConnectivity(names, kSite));

        EXPECT_EQ(1, names.cleanups);
        EXPECT_LE(names.highestIndex, kLastAddressIndex);
        ASSERT_FALSE(names.resolved.empty());
        EXPECT_EQ(kLocalName, names.resolved.front());
        EXPECT_EQ(c.siteLookedUp, names.resolved.back() == kSite);
    }
}

TEST(BannerConnectivity, FailedStartGivesPictureWithoutCleanup) {
    FakeNameService names;
    names.startResult = 10091;  // WSASYSNOTREADY
    names.hosts[kLocalName] = {"10.0.0.5"};
    names.hosts[kSite] = {"203.0.113.7"};

    EXPECT_EQ(0, DecideBannerConnectivity(names, kSite));
    EXPECT_EQ(0, names.cleanups);
    EXPECT_TRUE(names.resolved.empty());
}

TEST(BannerConnectivity, LocalNameIsCutToTheBufferWhenUnterminated) {
    FakeNameService names;
    names.localName = std::string(kHostNameSize, 'h');

    EXPECT_EQ(0, DecideBannerConnectivity(names, kSite));
    ASSERT_EQ(1u, names.resolved.size());
    EXPECT_EQ(std::string(kHostNameSize - 1, 'h'), names.resolved.front());
}

}  // namespace
}  // namespace brenvik
