// The fixture of the port contract tests: a fresh scratch world per test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/contract_world.h"
#include "tests/support/shortcut_calls.h"

namespace brenvik::test {

class ContractTest : public ::testing::Test {
protected:
    void SetUp() override { m_world = MakeContractWorld(); }
    void TearDown() override { m_world.reset(); }

    ContractWorld& world() { return *m_world; }
    RegistryPort& registry() { return m_world->registry(); }
    FilePort& files() { return m_world->files(); }
    ShortcutPort& shortcuts() { return m_world->shortcuts(); }
    AccessPort& access() { return m_world->access(); }
    FileSecurityPort& fileSecurity() { return m_world->fileSecurity(); }
    StorePort& store() { return m_world->store(); }

private:
    std::unique_ptr<ContractWorld> m_world;
};

// The arguments of a shortcut; empty when it cannot be read.
inline std::string Arguments(ShortcutPort& shortcuts, const std::string& path) {
    std::string arguments;
    ReadArguments(shortcuts, path, &arguments);
    return arguments;
}

}  // namespace brenvik::test
