// What the known-folder and link-details ports must do, on the model and on Win32 alike.
#include <cctype>

#include "tests/contract/contract_test_base.h"

namespace brenvik::test {
namespace {

using KnownFolderContract = ContractTest;
using LinkDetailsContract = ContractTest;

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

TEST_F(LinkDetailsContract, TargetArgumentsAndIconReadBackAndARetargetKeepsTheIcon) {
    const std::string dir = world().scratchFolder();
    const std::string link = dir + "\\Google Chrome.lnk";
    const std::string program = world().existingProgram();
    world().makeShortcut(link, program, "--flag \"http://a.example/\"");
    world().setShortcutIcon(link, "C:\\icons\\browser.ico");

    LinkDetails details;
    ASSERT_EQ(world().linkDetails().readLinkDetails(link, &details), kErrorSuccess);
    EXPECT_EQ(Lowered(details.target), Lowered(program));
    EXPECT_EQ(details.arguments, "--flag \"http://a.example/\"");
    EXPECT_EQ(details.iconPath, "C:\\icons\\browser.ico");

    const std::string other = dir + "\\other.exe";
    world().makeFile(other, kFileAttributeArchive);
    ASSERT_EQ(world().linkDetails().writeLinkTarget(link, other, ""), kErrorSuccess);
    ASSERT_EQ(world().linkDetails().readLinkDetails(link, &details), kErrorSuccess);
    EXPECT_EQ(Lowered(details.target), Lowered(other));
    EXPECT_EQ(details.arguments, "");
    EXPECT_EQ(details.iconPath, "C:\\icons\\browser.ico");
}

TEST_F(LinkDetailsContract, BackupFormsReadAndRetargetTheSameWay) {
    const std::string dir = world().scratchFolder();
    const std::string link = dir + "\\Firefox.lnk";
    const std::string program = world().existingProgram();
    world().makeShortcut(link, program, "http://b.example/");
    access().enableBackupPrivileges();

    LinkDetails details;
    ASSERT_EQ(world().linkDetails().readLinkDetailsForBackup(link, &details), kErrorSuccess);
    EXPECT_EQ(Lowered(details.target), Lowered(program));
    EXPECT_EQ(details.arguments, "http://b.example/");
    const std::string other = dir + "\\other.exe";
    world().makeFile(other, kFileAttributeArchive);
    ASSERT_EQ(world().linkDetails().writeLinkTargetForBackup(link, other, ""), kErrorSuccess);
    ASSERT_EQ(world().linkDetails().readLinkDetails(link, &details), kErrorSuccess);
    EXPECT_EQ(Lowered(details.target), Lowered(other));
    EXPECT_EQ(details.arguments, "");
}

TEST_F(LinkDetailsContract, WhatIsNoShortcutOrIsMissingGivesAnError) {
    const std::string dir = world().scratchFolder();
    world().makeFile(dir + "\\plain.lnk", kFileAttributeArchive);
    LinkDetails details;
    details.target = "sentinel";
    EXPECT_NE(world().linkDetails().readLinkDetails(dir + "\\plain.lnk", &details), kErrorSuccess);
    EXPECT_EQ(details.target, "");
    EXPECT_EQ(world().linkDetails().readLinkDetails(dir + "\\missing.lnk", &details),
              kErrorFileNotFound);
    EXPECT_NE(world().linkDetails().writeLinkTarget(dir + "\\plain.lnk", "C:\\x.exe", ""),
              kErrorSuccess);
}

TEST_F(LinkDetailsContract, FileTextIsItsBytesAsIs) {
    const std::string dir = world().scratchFolder();
    const std::string text = "[InternetShortcut]\r\nURL=http://c.example/\xE4\xB8\xAD\r\n";
    world().makeTextFile(dir + "\\Firefox.url", text);
    std::string read;
    ASSERT_EQ(world().linkDetails().readFileText(dir + "\\Firefox.url", &read), kErrorSuccess);
    EXPECT_EQ(read, text);
    access().enableBackupPrivileges();
    ASSERT_EQ(world().linkDetails().readFileTextForBackup(dir + "\\Firefox.url", &read),
              kErrorSuccess);
    EXPECT_EQ(read, text);
    EXPECT_EQ(world().linkDetails().readFileText(dir + "\\missing.url", &read), kErrorFileNotFound);
    EXPECT_EQ(read, "");
}

}  // namespace
}  // namespace brenvik::test
