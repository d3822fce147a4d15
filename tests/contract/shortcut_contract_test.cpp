// What the known-folder and shortcut ports must do, on the model and on Win32 alike.
#include <cctype>

#include "tests/contract/contract_test_base.h"
#include "tests/support/shortcut_calls.h"

namespace brenvik::test {
namespace {

using KnownFolderContract = ContractTest;
using ShortcutContract = ContractTest;

std::string Lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST_F(KnownFolderContract, EachFolderIsAnExistingAbsoluteFolderWithoutClosingBackslash) {
    const KnownFolder ids[] = {
        KnownFolder::Desktop,       KnownFolder::PublicDesktop,   KnownFolder::QuickLaunch,
        KnownFolder::StartMenu,     KnownFolder::CommonStartMenu, KnownFolder::Startup,
        KnownFolder::CommonStartup, KnownFolder::RoamingAppData,  KnownFolder::LocalAppData,
        KnownFolder::Temp,
    };
    for (KnownFolder id : ids) {
        std::string path = "sentinel";
        ASSERT_EQ(world().knownFolders().knownFolder(id, &path), kErrorSuccess)
            << static_cast<int>(id);
        ASSERT_GT(path.size(), 3u) << static_cast<int>(id);
        EXPECT_EQ(path[1], ':') << path;
        EXPECT_NE(path.back(), '\\') << path;
        if (id == KnownFolder::QuickLaunch || id == KnownFolder::Startup ||
            id == KnownFolder::CommonStartup)
            continue;  // a fresh profile need not have made these yet
        const std::uint32_t attributes = files().getAttributes(path);
        EXPECT_NE(attributes, kInvalidFileAttributes) << path;
        EXPECT_TRUE(attributes & kFileAttributeDirectory) << path;
    }
    std::string quickLaunch;
    std::string appData;
    world().knownFolders().knownFolder(KnownFolder::QuickLaunch, &quickLaunch);
    world().knownFolders().knownFolder(KnownFolder::RoamingAppData, &appData);
    EXPECT_EQ(Lowered(quickLaunch),
              Lowered(appData + "\\Microsoft\\Internet Explorer\\Quick Launch"));
}

TEST_F(ShortcutContract, TargetArgumentsAndIconReadBackAndARetargetKeepsTheIcon) {
    const std::string dir = world().scratchFolder();
    const std::string link = dir + "\\Google Chrome.lnk";
    const std::string program = world().existingProgram();
    world().makeShortcut(link, program, "--flag \"http://a.example/\"");
    world().setShortcutIcon(link, "C:\\icons\\browser.ico");

    ShortcutProperties details;
    ASSERT_EQ(ReadDetails(shortcuts(), link, &details), kErrorSuccess);
    EXPECT_EQ(Lowered(details.target), Lowered(program));
    EXPECT_EQ(details.arguments, "--flag \"http://a.example/\"");
    EXPECT_EQ(details.iconPath, "C:\\icons\\browser.ico");

    const std::string other = dir + "\\other.exe";
    world().makeFile(other, kFileAttributeArchive);
    ASSERT_EQ(shortcuts().writeShortcut(link, OpenMode::AsIs, ShortcutTarget(other, "")),
              kErrorSuccess);
    ASSERT_EQ(ReadDetails(shortcuts(), link, &details), kErrorSuccess);
    EXPECT_EQ(Lowered(details.target), Lowered(other));
    EXPECT_EQ(details.arguments, "");
    EXPECT_EQ(details.iconPath, "C:\\icons\\browser.ico");
}

// A read fills only what its mask asks; a write sets only what its mask names and keeps the
// rest as loaded, in either mode.
TEST_F(ShortcutContract, TheMaskChoosesWhatIsReadAndWhatIsWritten) {
    const std::string dir = world().scratchFolder();
    const std::string link = dir + "\\Opera.lnk";
    const std::string program = world().existingProgram();
    world().makeShortcut(link, program, "-a");
    world().setShortcutIcon(link, "C:\\icons\\a.ico");
    access().enableBackupPrivileges();
    for (OpenMode mode : {OpenMode::AsIs, OpenMode::BackupIntent}) {
        ShortcutProperties read;
        read.mask = kShortcutArguments;
        read.target = "sentinel";
        read.iconPath = "sentinel";
        ASSERT_EQ(shortcuts().readShortcut(link, mode, &read), kErrorSuccess);
        EXPECT_EQ(read.arguments, "-a");
        EXPECT_EQ(read.target, "") << "not asked for";
        EXPECT_EQ(read.iconPath, "") << "not asked for";

        ShortcutProperties icon;
        icon.mask = kShortcutIcon;
        icon.iconPath = "C:\\icons\\b.ico";
        ASSERT_EQ(shortcuts().writeShortcut(link, mode, icon), kErrorSuccess);
        ASSERT_EQ(shortcuts().writeShortcut(link, mode, ShortcutArguments("-b")), kErrorSuccess);
        ShortcutProperties details;
        ASSERT_EQ(ReadDetails(shortcuts(), link, &details), kErrorSuccess);
        EXPECT_EQ(Lowered(details.target), Lowered(program));
        EXPECT_EQ(details.arguments, "-b");
        EXPECT_EQ(details.iconPath, "C:\\icons\\b.ico");
        world().makeShortcut(link, program, "-a");
        world().setShortcutIcon(link, "C:\\icons\\a.ico");
    }
}

TEST_F(ShortcutContract, BackupFormsReadAndRetargetTheSameWay) {
    const std::string dir = world().scratchFolder();
    const std::string link = dir + "\\Firefox.lnk";
    const std::string program = world().existingProgram();
    world().makeShortcut(link, program, "http://b.example/");
    access().enableBackupPrivileges();

    ShortcutProperties details;
    ASSERT_EQ(ReadDetails(shortcuts(), link, &details, OpenMode::BackupIntent), kErrorSuccess);
    EXPECT_EQ(Lowered(details.target), Lowered(program));
    EXPECT_EQ(details.arguments, "http://b.example/");
    const std::string other = dir + "\\other.exe";
    world().makeFile(other, kFileAttributeArchive);
    ASSERT_EQ(shortcuts().writeShortcut(link, OpenMode::BackupIntent, ShortcutTarget(other, "")),
              kErrorSuccess);
    ASSERT_EQ(ReadDetails(shortcuts(), link, &details), kErrorSuccess);
    EXPECT_EQ(Lowered(details.target), Lowered(other));
    EXPECT_EQ(details.arguments, "");
}

TEST_F(ShortcutContract, WhatIsNoShortcutOrIsMissingGivesAnError) {
    const std::string dir = world().scratchFolder();
    world().makeFile(dir + "\\plain.lnk", kFileAttributeArchive);
    ShortcutProperties details;
    details.target = "sentinel";
    EXPECT_NE(ReadDetails(shortcuts(), dir + "\\plain.lnk", &details), kErrorSuccess);
    EXPECT_EQ(details.target, "");
    EXPECT_EQ(ReadDetails(shortcuts(), dir + "\\missing.lnk", &details), kErrorFileNotFound);
    EXPECT_NE(shortcuts().writeShortcut(dir + "\\plain.lnk", OpenMode::AsIs,
                                        ShortcutTarget("C:\\x.exe", "")),
              kErrorSuccess);
}

TEST_F(ShortcutContract, FileTextIsItsBytesAsIs) {
    const std::string dir = world().scratchFolder();
    const std::string text = "[InternetShortcut]\r\nURL=http://c.example/\xE4\xB8\xAD\r\n";
    world().makeTextFile(dir + "\\Firefox.url", text);
    std::string read;
    ASSERT_EQ(files().readFileText(dir + "\\Firefox.url", &read), kErrorSuccess);
    EXPECT_EQ(read, text);
    access().enableBackupPrivileges();
    ASSERT_EQ(files().readFileText(dir + "\\Firefox.url", &read, OpenMode::BackupIntent),
              kErrorSuccess);
    EXPECT_EQ(read, text);
    EXPECT_EQ(files().readFileText(dir + "\\missing.url", &read), kErrorFileNotFound);
    EXPECT_EQ(read, "");
}

}  // namespace
}  // namespace brenvik::test
