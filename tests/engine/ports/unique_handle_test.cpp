#include "engine/ports/unique_handle.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace brenvik {
namespace {

// Records what it was asked to close; 0 stands for "none".
struct ClosingPort {
    std::vector<std::uintptr_t> closed;
    void close(std::uintptr_t handle) { closed.push_back(handle); }
};
using Owned = UniquePortHandle<ClosingPort, std::uintptr_t, &ClosingPort::close, 0>;

TEST(UniquePortHandle, ClosesWhatItHoldsOnceAndNeverNone) {
    ClosingPort port;
    {
        Owned empty(port);
        EXPECT_FALSE(empty);
        Owned held(port, 7);
        EXPECT_TRUE(held);
        *held.put() = 8;  // 7 closed before the port writes the new one
        EXPECT_EQ(held.get(), 8u);
    }
    EXPECT_EQ(port.closed, (std::vector<std::uintptr_t>{7, 8}));
}

TEST(UniquePortHandle, MovesHandOverAndCloseTheTargetsOwnFirst) {
    ClosingPort first;
    ClosingPort second;
    {
        Owned a(first, 1);
        Owned b(second, 2);
        b = std::move(a);  // 2 closed through its own port
        EXPECT_EQ(second.closed, (std::vector<std::uintptr_t>{2}));
        EXPECT_FALSE(a);
        Owned c(std::move(b));
        EXPECT_EQ(c.get(), 1u);
        EXPECT_TRUE(first.closed.empty());
    }
    EXPECT_EQ(first.closed, (std::vector<std::uintptr_t>{1}));
    EXPECT_EQ(second.closed, (std::vector<std::uintptr_t>{2}));
}

TEST(UniquePortHandle, ReleaseGivesUpWithoutClosingAndResetAdopts) {
    ClosingPort port;
    {
        Owned held(port, 3);
        EXPECT_EQ(held.release(), 3u);
        EXPECT_FALSE(held);
        held.reset(4);
        held.reset(5);
    }
    EXPECT_EQ(port.closed, (std::vector<std::uintptr_t>{4, 5}));
}

}  // namespace
}  // namespace brenvik
