// Startup entries: Run and RunOnce values that open a web address or load code into a browser
// at every logon. The repair deletes the value.
#pragma once

#include <memory>

#include "engine/vectors/vector.h"

namespace brenvik {

// The keys whose values Windows runs at logon: all the vector reads and may change.
// clang-format off
constexpr KeyPlace kStartupKeys[] = {
    {kHKeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", false},
    {kHKeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", false},
    {kHKeyLocalMachine, "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", false},
    {kHKeyLocalMachine, "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce", false},
    {kHKeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run", false},
    {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", false},
    {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", false},
    {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run", false},
};
// clang-format on

// The vector of the table (vector_table.h).
std::unique_ptr<Vector> MakeStartupVector();

}  // namespace brenvik
