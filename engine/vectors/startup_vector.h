// Startup entries: Run and RunOnce values that open a web address or load code into a browser
// at every logon. The repair deletes the value.
#pragma once

#include "engine/vectors/labelled_vector.h"

namespace brenvik {

constexpr const char* kStartupLabel = "Run";

// A key whose values Windows runs at logon.
struct StartupKey {
    RegKey root;
    const char* path;
};
// clang-format off
constexpr StartupKey kStartupKeys[] = {
    {kHKeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {kHKeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {kHKeyLocalMachine, "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {kHKeyLocalMachine, "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {kHKeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run"},
    {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run"},
};
// clang-format on

class StartupVector final : public LabelledVector {
public:
    StartupVector() : LabelledVector(kStartupLabel) {}

    WorkPlaces places(const PortReads& ports) const override;
    // Every text value of every key, in the keys' order and then the values'; a key that is
    // there but cannot be read is kept as skipped.
    void scan(AccessBroker& broker, VectorContext& context) override;
    void repair(AccessBroker& broker) override;
};

}  // namespace brenvik
