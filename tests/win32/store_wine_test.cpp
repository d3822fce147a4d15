// The store's checks on real files and folders under Wine: what another account could plant
// or change in %ProgramData%\Brenvik is refused or moved aside. Wine derives a file's list
// from its Unix mode and stores no owner (every file reads as the process's own user's), and
// a process running as root is refused nothing: a foreign owner and a list that refuses the
// administrators are shown on the model only.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/known_folder.h"
#include "tests/support/win32_world.h"

namespace brenvik {
namespace {

using test::DataFolder;
using test::RemoveTree;
using test::ScratchFolder;

// The list Wine turns into "chmod o+w" (and that Windows keeps as it is).
bool LetEveryoneWrite(const std::string& path) {
    return test::WriteSddl(path, SecurityObjectType::File,
                           "D:(A;;FA;;;WD)(A;;FA;;;BA)(A;;FA;;;SY)") == ERROR_SUCCESS;
}

// The names in the data folder that start with prefix.
std::vector<std::string> NamesLike(const std::string& prefix) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data = {};
    UniqueFind find(FindFirstFileW(Utf8ToWide(DataFolder() + "\\" + prefix + "*").c_str(), &data));
    if (!find)
        return names;
    do names.push_back(WideToUtf8(data.cFileName));
    while (FindNextFileW(find.get(), &data));
    return names;
}

class StoreWine : public ::testing::Test {
protected:
    void SetUp() override {
        bool trusted = false;
        ASSERT_EQ(kErrorSuccess, m_platform.secureFolder("", &trusted));
        m_scratch = std::make_unique<ScratchFolder>(DataFolder());
        m_folder = m_scratch->path().substr(DataFolder().size() + 1);
    }

    Win32Platform m_platform;
    std::unique_ptr<ScratchFolder> m_scratch;
    std::string m_folder;  // relative to the data folder
};

// Each file is written by the store, then changed as another account could change it.
TEST_F(StoreWine, FilesOthersCouldHaveShapedAreRefusedAndLargeOnesRead) {
    const std::string large(3 << 20, 'x');  // the old 1 MiB cap, three times over
    const struct {
        const char* name;
        const std::string& bytes;
        bool (*shape)(const std::string& path);
        Status expected;
    } cases[] = {
        {"plain.entry", large, [](const std::string&) { return true; }, kErrorSuccess},
        {"readonly.entry", std::string("r"),
         [](const std::string& path) {
             return SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_READONLY) != 0;
         },
         kErrorCantAccessFile},
        {"everyone.entry", std::string("w"), LetEveryoneWrite, kErrorCantAccessFile},
        {"linked.entry", std::string("l"),
         [](const std::string& path) {
             return CreateHardLinkW(Utf8ToWide(path + ".second").c_str(), Utf8ToWide(path).c_str(),
                                    nullptr) != 0;
         },
         kErrorCantAccessFile},
    };
    for (const auto& c : cases) {
        const std::string path = m_folder + "\\" + c.name;
        ASSERT_EQ(kErrorSuccess, m_platform.writeDurably(path, c.bytes)) << c.name;
        ASSERT_TRUE(c.shape(DataFolder() + "\\" + path)) << c.name;
        std::string bytes = "sentinel";
        EXPECT_EQ(c.expected, m_platform.readFile(path, &bytes)) << c.name;
        // Compared, not printed: one case is megabytes long.
        EXPECT_TRUE(bytes == (c.expected == kErrorSuccess ? c.bytes : std::string()))
            << c.name << " read " << bytes.size() << " bytes";
    }
    std::string bytes;
    EXPECT_EQ(kErrorCantAccessFile,
              m_platform.readFile(m_folder + "\\linked.entry.second", &bytes));
}

// A folder others may write, or a file where a folder belongs, is moved aside with what it
// holds, and a fresh folder takes its name.
TEST_F(StoreWine, AFolderOthersCouldWriteIsMovedAsideAndAFreshOneMade) {
    const std::string hostile = m_folder + "\\Hostile";
    const std::string notFolder = m_folder + "\\NotAFolder";
    ASSERT_TRUE(test::MakeFolders(DataFolder() + "\\" + hostile));
    ASSERT_TRUE(test::MakeFile(DataFolder() + "\\" + hostile + "\\planted.journal"));
    ASSERT_TRUE(LetEveryoneWrite(DataFolder() + "\\" + hostile));
    ASSERT_TRUE(test::MakeFile(DataFolder() + "\\" + notFolder));

    for (const std::string& folder : {hostile, notFolder}) {
        bool trusted = true;
        ASSERT_EQ(kErrorSuccess, m_platform.secureFolder(folder, &trusted)) << folder;
        EXPECT_FALSE(trusted) << folder;
        std::vector<std::string> names{"sentinel"};
        EXPECT_EQ(kErrorSuccess, m_platform.listFiles(folder, &names)) << folder;
        EXPECT_TRUE(names.empty()) << folder;
        // Safe now: the next look keeps it.
        ASSERT_EQ(kErrorSuccess, m_platform.secureFolder(folder, &trusted)) << folder;
        EXPECT_TRUE(trusted) << folder;
    }
    const std::vector<std::string> aside = NamesLike(m_folder + "\\Hostile.untrusted-");
    ASSERT_EQ(1u, aside.size());
    const DWORD planted = GetFileAttributesW(
        Utf8ToWide(DataFolder() + "\\" + m_folder + "\\" + aside[0] + "\\planted.journal").c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, planted) << "moved with its folder, not deleted";
    const std::vector<std::string> file = NamesLike(m_folder + "\\NotAFolder.untrusted-");
    ASSERT_EQ(1u, file.size());
    EXPECT_FALSE(
        GetFileAttributesW(Utf8ToWide(DataFolder() + "\\" + m_folder + "\\" + file[0]).c_str()) &
        FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
}  // namespace brenvik
