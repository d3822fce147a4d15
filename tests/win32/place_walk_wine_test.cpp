// The walk from a place folder on the real platform: a folder below the place that is a Unix
// symbolic link inside the prefix, which Wine shows as a reparse point, stops every change.
#include <gtest/gtest.h>

#include <string>

#include "engine/change/access_broker.h"
#include "tests/support/shortcut_calls.h"
#include "engine/change/journal.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/win32_world.h"

namespace brenvik {
namespace {

using test::CreateShortcut;
using test::ScratchFolder;

constexpr const char* kTarget = "C:\\windows\\notepad.exe";

// Made by the test's fixture on the host, inside the prefix: "place\Programs" is a Unix
// symbolic link to "outside". A program under Wine cannot make one itself.
constexpr const char* kLinkedPlace = "C:\\brenvik-links\\place";
constexpr const char* kOutside = "C:\\brenvik-links\\outside";

bool LinkedFolderIsThere() {
    const DWORD attributes = GetFileAttributesA((std::string(kLinkedPlace) + "\\Programs").c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string Arguments(const std::string& path) {
    std::string arguments;
    test::ReadArguments(Win32Platform(), path, &arguments);
    return arguments;
}

// The place holds "Programs", a symbolic link to a folder outside it with a hijacked
// shortcut: the shortcut reads through the link by its path, yet no change reaches it.
TEST(PlaceWalkWine, ShortcutBelowALinkedFolderIsNeitherRewrittenNorDeleted) {
    if (!LinkedFolderIsThere())
        GTEST_SKIP() << "the fixture's symbolic link is not there";
    const std::string victim = std::string(kOutside) + "\\Browser.lnk";
    ASSERT_EQ(CreateShortcut(victim, kTarget, "http://hijack.example/"), S_OK);
    const std::string linked = std::string(kLinkedPlace) + "\\Programs";
    const std::string throughLink = linked + "\\Browser.lnk";
    ASSERT_EQ(Arguments(throughLink), "http://hijack.example/") << "the link is followed by path";

    Win32Platform platform;
    {
        // What the walk sees of the link below the place's handle.
        ScopedFile place(platform);
        ScopedFile folder(platform);
        FileIdentity identity;
        ASSERT_EQ(platform.openPlaceFolder(kLinkedPlace, place.put()), kErrorSuccess);
        ASSERT_EQ(
            platform.openBelow(place.get(), "Programs", 0x80, OpenMode::BackupIntent, folder.put()),
            kErrorSuccess);
        ASSERT_EQ(platform.queryFileIdentity(folder.get(), &identity), kErrorSuccess);
        // Wine opens the folder the link names; its listing tells the port of the link.
        ASSERT_NE(identity.attributes & kFileAttributeReparsePoint, 0u);
    }
    Ports ports = platform.ports();
    Journal journal(ports.store);
    AccessBroker broker(ports, journal);
    broker.findFilePlacesWith(
        [] { return std::vector<std::string>{std::string(kLinkedPlace) + "\\"}; });
    EXPECT_EQ(broker.writeShortcut(throughLink, ShortcutArguments("")), kErrorCantAccessFile);
    EXPECT_EQ(broker.writeShortcut(throughLink, ShortcutTarget(kTarget, "")), kErrorCantAccessFile);
    EXPECT_EQ(broker.deleteFile(throughLink), kErrorCantAccessFile);
    std::string bytes;
    std::uint32_t attributes = 0;
    AccessList list;
    EXPECT_EQ(broker.captureFile(throughLink, &bytes, &attributes, &list), kErrorCantAccessFile);
    EXPECT_EQ(broker.putBackFile(linked + "\\New.lnk", "x", list, 0), kErrorCantAccessFile);

    EXPECT_EQ(Arguments(victim), "http://hijack.example/");
    EXPECT_EQ(GetFileAttributesA((std::string(kOutside) + "\\New.lnk").c_str()),
              INVALID_FILE_ATTRIBUTES);
    DeleteFileA(victim.c_str());
}

// The same place without the link: the change goes through and lands where it was asked.
TEST(PlaceWalkWine, ShortcutBelowAPlainFolderIsRewrittenAndDeletedThroughItsHandle) {
    ScratchFolder place;
    const std::string folder = place.path() + "\\Programs";
    ASSERT_TRUE(test::MakeFolders(folder));
    const std::string link = folder + "\\Browser.lnk";
    ASSERT_EQ(CreateShortcut(link, kTarget, "http://hijack.example/"), S_OK);

    Win32Platform platform;
    Ports ports = platform.ports();
    Journal journal(ports.store);
    AccessBroker broker(ports, journal);
    broker.findFilePlacesWith([&place] { return std::vector<std::string>{place.path()}; });
    EXPECT_EQ(broker.writeShortcut(link, ShortcutArguments("")), kErrorSuccess);
    EXPECT_EQ(Arguments(link), "");
    EXPECT_EQ(test::ReadShortcutTarget(link), kTarget);
    EXPECT_EQ(broker.deleteFile(link), kErrorSuccess);
    EXPECT_EQ(GetFileAttributesA(link.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(broker.deleteFile(place.path() + "\\..\\Elsewhere.lnk"), kErrorNotBelowPlace);
}

}  // namespace
}  // namespace brenvik
