#include "engine/ports/ports.h"

#include <gtest/gtest.h>

#include "platform/model/model_platform.h"

namespace brenvik {
namespace {

// Each member is bound to the platform's port of its own kind, and the host to its host:
// nothing is shifted onto a neighbour.
TEST(Ports, EachMemberIsThePortItsNameSays) {
    model::ModelPlatform platform;
    Ports ports = platform.ports();
    const std::pair<const void*, const void*> bound[] = {
        {&ports.registry, static_cast<RegistryPort*>(&platform)},
        {&ports.files, static_cast<FilePort*>(&platform)},
        {&ports.fileSecurity, static_cast<FileSecurityPort*>(&platform)},
        {&ports.shortcuts, static_cast<ShortcutPort*>(&platform)},
        {&ports.access, static_cast<AccessPort*>(&platform)},
        {&ports.content, static_cast<ContentPort*>(&platform)},
        {&ports.store, static_cast<StorePort*>(&platform)},
        {&ports.knownFolders, static_cast<KnownFolderPort*>(&platform)},
        {&ports.host, static_cast<HostPort*>(&platform.host())},
    };
    for (std::size_t i = 0; i < sizeof bound / sizeof bound[0]; ++i)
        EXPECT_EQ(bound[i].first, bound[i].second) << i;
}

}  // namespace
}  // namespace brenvik
