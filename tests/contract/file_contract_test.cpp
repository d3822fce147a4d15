// What the file and shortcut ports must do, on the model and on Win32 alike.
#include <algorithm>
#include <cctype>
#include <vector>

#include "tests/contract/contract_test_base.h"

namespace brenvik::test {
namespace {

using FileContract = ContractTest;
using ShortcutContract = ContractTest;

// Names listed for pattern, in listing order; closes the listing.
std::vector<std::string> List(FilePort& files, const std::string& pattern) {
    std::vector<std::string> names;
    FindEntry entry;
    ScopedFind find(files, files.findFirst(pattern, &entry));
    if (find.get() == kNoFind)
        return names;
    do {
        names.push_back(entry.name);
    } while (files.findNext(find.get(), &entry));
    return names;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_F(FileContract, LnkMaskListsMatchingFilesAndFoldersOnly) {
    const std::string dir = world().scratchFolder();
    world().makeFile(dir + "\\First.LNK", kFileAttributeArchive);
    world().makeFile(dir + "\\notes.txt", kFileAttributeArchive);
    world().makeFolder(dir + "\\x.lnk");
    world().makeFile(dir + "\\hidden.lnk", kFileAttributeHidden | kFileAttributeSystem);
    world().makeFile(dir + "\\sub\\deeper.lnk", kFileAttributeArchive);

    std::vector<std::string> names = List(files(), dir + "\\*.lnk");
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"First.LNK", "hidden.lnk", "x.lnk"}), names);
}

TEST_F(FileContract, ListingReportsFolderAndHiddenAttributes) {
    const std::string dir = world().scratchFolder();
    world().makeFolder(dir + "\\x.lnk");
    world().makeFile(dir + "\\h.lnk", kFileAttributeHidden);
    FindEntry entry;
    ScopedFind find(files(), files().findFirst(dir + "\\*.lnk", &entry));
    ASSERT_NE(kNoFind, find.get());
    int seen = 0;
    do {
        ++seen;
        if (entry.name == "x.lnk") {
            EXPECT_TRUE(entry.attributes & kFileAttributeDirectory);
        } else {
            EXPECT_EQ("h.lnk", entry.name);
            EXPECT_TRUE(entry.attributes & kFileAttributeHidden);
            EXPECT_FALSE(entry.attributes & kFileAttributeDirectory);
        }
    } while (files().findNext(find.get(), &entry));
    EXPECT_EQ(2, seen);
}

TEST_F(FileContract, StarListsDotEntriesOfAFolderBesideItsFiles) {
    const std::string dir = world().scratchFolder();
    world().makeFile(dir + "\\a.txt", kFileAttributeArchive);
    const std::vector<std::string> names = List(files(), dir + "\\*");
    EXPECT_EQ(3u, names.size());
    EXPECT_TRUE(Contains(names, ".") && Contains(names, "..") && Contains(names, "a.txt"));
}

TEST_F(FileContract, NothingToListGivesNoListing) {
    const std::string dir = world().scratchFolder();
    world().makeFile(dir + "\\a.txt", kFileAttributeArchive);
    // The error tells a folder with nothing matching from one that is not there, which a
    // walk passes over as a normal absence; a file taken for a folder only fails.
    const struct {
        std::string pattern;
        Status error;  // kErrorSuccess: any failure
    } cases[] = {
        {dir + "\\*.lnk", kErrorFileNotFound},
        {dir + "\\missing\\*.lnk", kErrorPathNotFound},
        {dir + "\\missing\\*", kErrorPathNotFound},
        {dir + "\\a.txt\\*.lnk", kErrorSuccess},
    };
    for (const auto& c : cases) {
        FindEntry entry;
        Status error = kErrorSuccess;
        EXPECT_EQ(kNoFind, files().findFirst(c.pattern, &entry, &error)) << c.pattern;
        if (c.error != kErrorSuccess)
            EXPECT_EQ(c.error, error) << c.pattern;
        else
            EXPECT_NE(kErrorSuccess, error) << c.pattern;
    }
}

TEST_F(FileContract, TheEndOfAListingSaysNoMoreFiles) {
    const std::string dir = world().scratchFolder();
    world().makeFile(dir + "\\a.lnk", kFileAttributeArchive);
    FindEntry entry;
    ScopedFind find(files(), files().findFirst(dir + "\\*.lnk", &entry));
    ASSERT_NE(kNoFind, find.get());
    Status error = kErrorSuccess;
    EXPECT_FALSE(files().findNext(find.get(), &entry, &error));
    EXPECT_EQ(kErrorNoMoreFiles, error);
}

// U+4E04 is GBK 0x81 0x41; with its trail byte lower-cased it would be U+4E64 (0x81 0x61).
// Both are named in UTF-8 here, whatever the code page.
TEST_F(FileContract, DoubleByteCharacterIsNotFoldedAsAscii) {
    const std::string dir = world().scratchFolder();
    world().makeFile(dir + "\\ie \xE4\xB8\x84.lnk", kFileAttributeArchive);
    // Wine names files in the host's character set; without a UTF-8 locale on the host it
    // cannot create this name at all.
    if (world().underWine() &&
        files().getAttributes(dir + "\\ie \xE4\xB8\x84.lnk") == kInvalidFileAttributes)
        GTEST_SKIP() << "the host has no locale that can name the file";
    EXPECT_NE(kInvalidFileAttributes, files().getAttributes(dir + "\\IE \xE4\xB8\x84.LNK"));
    EXPECT_EQ(kInvalidFileAttributes, files().getAttributes(dir + "\\ie \xE4\xB9\xA4.lnk"));
    EXPECT_EQ((std::vector<std::string>{"ie \xE4\xB8\x84.lnk"}), List(files(), dir + "\\*.lnk"));
}

TEST_F(FileContract, AttributesOfFilesFoldersAndMissingPaths) {
    const std::string dir = world().scratchFolder();
    world().makeFile(dir + "\\f.lnk", kFileAttributeReadOnly | kFileAttributeHidden);
    const std::uint32_t file = files().getAttributes(dir + "\\F.LNK");
    EXPECT_EQ(kFileAttributeReadOnly | kFileAttributeHidden,
              file & (kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeDirectory));
    EXPECT_TRUE(files().getAttributes(dir) & kFileAttributeDirectory);
    EXPECT_EQ(kInvalidFileAttributes, files().getAttributes(dir + "\\missing.lnk"));
}

TEST_F(FileContract, SettingNoAttributesClearsReadOnlyAndHidden) {
    const std::string dir = world().scratchFolder();
    const std::string path = dir + "\\f.lnk";
    world().makeFile(path, kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem);
    ASSERT_TRUE(files().setAttributes(path, 0));
    // Wine keeps FILE_ATTRIBUTE_ARCHIVE: only the bits that refuse changes or hide matter.
    EXPECT_EQ(0u, files().getAttributes(path) &
                      (kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem));
    EXPECT_FALSE(files().setAttributes(dir + "\\missing.lnk", 0));
}

TEST_F(FileContract, ReadOnlyFileIsDeletedOnlyAfterClearingIt) {
    const std::string dir = world().scratchFolder();
    const std::string path = dir + "\\f.lnk";
    world().makeFile(path, kFileAttributeReadOnly);
    EXPECT_EQ(kErrorAccessDenied, files().deleteFile(path));
    EXPECT_NE(kInvalidFileAttributes, files().getAttributes(path));
    ASSERT_TRUE(files().setAttributes(path, 0));
    EXPECT_EQ(kErrorSuccess, files().deleteFile(path));
    EXPECT_EQ(kInvalidFileAttributes, files().getAttributes(path));
    EXPECT_EQ(kErrorFileNotFound, files().deleteFile(path));
}

TEST_F(FileContract, FolderIsNotDeletedAsAFile) {
    const std::string dir = world().scratchFolder();
    world().makeFolder(dir + "\\x.lnk");
    EXPECT_NE(kErrorSuccess, files().deleteFile(dir + "\\x.lnk"));
    EXPECT_NE(kInvalidFileAttributes, files().getAttributes(dir + "\\x.lnk"));
}

TEST_F(FileContract, PlainFileHasOneLink) {
    const std::string dir = world().scratchFolder();
    world().makeFile(dir + "\\f.lnk", kFileAttributeArchive);
    std::uint32_t links = 0;
    ASSERT_EQ(kErrorSuccess, files().getLinkCount(dir + "\\f.lnk", &links));
    EXPECT_EQ(1u, links);
    EXPECT_NE(kErrorSuccess, files().getLinkCount(dir + "\\missing.lnk", &links));
}

TEST_F(ShortcutContract, ArgumentsRoundTripAndTheTargetIsKept) {
    const std::string dir = world().scratchFolder();
    const std::string path = dir + "\\Internet Explorer.lnk";
    const std::string target = world().existingProgram();
    world().makeShortcut(path, target, "http://www.example.com/");
    // A lower-cased path names the same file.
    EXPECT_EQ("http://www.example.com/", Arguments(shortcuts(), dir + "\\internet explorer.lnk"));
    ASSERT_EQ(kErrorSuccess,
              shortcuts().writeShortcut(path, OpenMode::AsIs, ShortcutArguments("-nohome")));
    EXPECT_EQ("-nohome", Arguments(shortcuts(), path));
    ASSERT_EQ(kErrorSuccess,
              shortcuts().writeShortcut(path, OpenMode::AsIs, ShortcutArguments("")));
    EXPECT_EQ("", Arguments(shortcuts(), path));
    const std::string kept = world().shortcutTarget(path);
    EXPECT_EQ(target.size(), kept.size());
    EXPECT_TRUE(std::equal(target.begin(), target.end(), kept.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    })) << kept;
}

TEST_F(ShortcutContract, LongArgumentsReadBackCutTo4095Characters) {
    const std::string dir = world().scratchFolder();
    const std::string path = dir + "\\long.lnk";
    world().makeShortcut(path, world().existingProgram(), "");
    const std::string arguments(5000, 'a');
    ASSERT_EQ(kErrorSuccess,
              shortcuts().writeShortcut(path, OpenMode::AsIs, ShortcutArguments(arguments)));
    const std::string read = Arguments(shortcuts(), path);
    EXPECT_LE(read.size(), 4095u);
    EXPECT_EQ(arguments.substr(0, read.size()), read);
}

TEST_F(ShortcutContract, WhatIsNotAShortcutReadsEmptyAndCannotBeWritten) {
    const std::string dir = world().scratchFolder();
    world().makeFile(dir + "\\plain.lnk", kFileAttributeArchive);
    world().makeFolder(dir + "\\folder.lnk");
    const std::string paths[] = {dir + "\\plain.lnk", dir + "\\folder.lnk", dir + "\\missing.lnk"};
    for (const std::string& path : paths) {
        EXPECT_EQ("", Arguments(shortcuts(), path)) << path;
        EXPECT_NE(kErrorSuccess,
                  shortcuts().writeShortcut(path, OpenMode::AsIs, ShortcutArguments("x")))
            << path;
    }
    EXPECT_EQ(kInvalidFileAttributes, files().getAttributes(dir + "\\missing.lnk"));
}

TEST_F(ShortcutContract, PathBeyondMaxPathIsRefused) {
    const std::string dir = world().scratchFolder();
    const std::string path = dir + "\\" + std::string(260, 'a') + ".lnk";
    EXPECT_EQ("", Arguments(shortcuts(), path));
    EXPECT_NE(kErrorSuccess,
              shortcuts().writeShortcut(path, OpenMode::AsIs, ShortcutArguments("x")));
}

TEST_F(ShortcutContract, ReadOnlyShortcutCannotBeRewritten) {
    if (world().underWine())
        GTEST_SKIP() << "Wine running as root writes read-only files";
    const std::string dir = world().scratchFolder();
    const std::string path = dir + "\\ro.lnk";
    world().makeShortcut(path, world().existingProgram(), "http://a/");
    ASSERT_TRUE(files().setAttributes(path, kFileAttributeReadOnly));
    EXPECT_NE(kErrorSuccess,
              shortcuts().writeShortcut(path, OpenMode::AsIs, ShortcutArguments("")));
    EXPECT_EQ("http://a/", Arguments(shortcuts(), path));
    files().setAttributes(path, 0);
}

}  // namespace
}  // namespace brenvik::test

namespace brenvik::test {
namespace {

using HandleFileContract = ContractTest;

constexpr std::uint32_t kAllFileWork =
    kFileRightReadData | kFileRightWriteData | kFileRightReadAttributes |
    kFileRightWriteAttributes | kFileRightDelete | kFileRightReadControl | kFileRightWriteDac;

// Below a place's handle: names that are no single part are refused; a file opens, reads,
// is rewritten and deleted through its handle; a new file is renamed over an old one.
TEST_F(HandleFileContract, NamesBelowAFolderOpenReadRewriteDeleteAndRenameOver) {
    const std::string dir = world().scratchFolder();
    world().makeFolder(dir + "\\sub");
    world().makeTextFile(dir + "\\sub\\a.url", "old");
    FileSecurityPort& port = fileSecurity();
    ScopedFile place(port);
    ASSERT_EQ(port.openPlaceFolder(dir, place.put()), kErrorSuccess);
    ScopedFile sub(port);
    ScopedFile file(port);
    for (const char* bad : {"", ".", "..", "sub\\a.url"})
        EXPECT_EQ(
            port.openBelow(place.get(), bad, kFileRightReadAttributes, OpenMode::AsIs, file.put()),
            kErrorInvalidName)
            << bad;
    EXPECT_EQ(port.openBelow(place.get(), "missing", kFileRightReadAttributes, OpenMode::AsIs,
                             file.put()),
              kErrorFileNotFound);
    ASSERT_EQ(port.openBelow(place.get(), "SUB", kFileRightTraverse | kFileRightReadAttributes,
                             OpenMode::AsIs, sub.put()),
              kErrorSuccess);
    FileIdentity identity;
    ASSERT_EQ(port.queryFileIdentity(sub.get(), &identity), kErrorSuccess);
    EXPECT_NE(identity.attributes & kFileAttributeDirectory, 0u);
    EXPECT_EQ(identity.attributes & kFileAttributeReparsePoint, 0u);

    ASSERT_EQ(port.openBelow(sub.get(), "a.url", kAllFileWork, OpenMode::AsIs, file.put()),
              kErrorSuccess);
    std::string bytes;
    EXPECT_EQ(port.readFileData(file.get(), 1 << 20, &bytes), kErrorSuccess);
    EXPECT_EQ(bytes, "old");
    EXPECT_EQ(port.readFileData(file.get(), 2, &bytes), kErrorInvalidData);
    EXPECT_EQ(port.writeFileData(file.get(), "n"), kErrorSuccess);
    EXPECT_EQ(port.readFileData(file.get(), 1 << 20, &bytes), kErrorSuccess);
    EXPECT_EQ(bytes, "n") << "the end follows the new bytes";

    ScopedFile fresh(port);
    EXPECT_EQ(port.createBelow(sub.get(), "a.url", kAllFileWork, OpenMode::AsIs, fresh.put()),
              kErrorFileExists);
    ASSERT_EQ(port.createBelow(sub.get(), "a.new", kAllFileWork, OpenMode::AsIs, fresh.put()),
              kErrorSuccess);
    ASSERT_EQ(port.writeFileData(fresh.get(), "new"), kErrorSuccess);
    EXPECT_EQ(port.renameOpenFile(fresh.get(), sub.get(), "a.url"), kErrorAccessDenied)
        << "a name still open is not replaced";
    file.reset();
    ASSERT_EQ(port.renameOpenFile(fresh.get(), sub.get(), "a.url"), kErrorSuccess);
    fresh.reset();
    ASSERT_EQ(port.openBelow(sub.get(), "a.url", kAllFileWork, OpenMode::AsIs, file.put()),
              kErrorSuccess);
    EXPECT_EQ(port.readFileData(file.get(), 1 << 20, &bytes), kErrorSuccess);
    EXPECT_EQ(bytes, "new");
    EXPECT_EQ(
        port.openBelow(sub.get(), "a.new", kFileRightReadAttributes, OpenMode::AsIs, fresh.put()),
        kErrorFileNotFound);
    EXPECT_EQ(port.deleteOpenFile(file.get()), kErrorSuccess);
    file.reset();
    EXPECT_EQ(files().getAttributes(dir + "\\sub\\a.url"), kInvalidFileAttributes);
}

}  // namespace
}  // namespace brenvik::test
