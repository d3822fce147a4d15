// A key restore left half done under Wine: the set's restore record is a real store file,
// checked through its handle as every other one is, and only the record the restore itself
// wrote lets the next restore finish the real registry tree.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/backup/backup_progress.h"
#include "engine/backup/backup_restore.h"
#include "engine/backup/backup_set.h"
#include "engine/backup/key_tree.h"
#include "engine/commands/commands.h"
#include "engine/vectors/vector_table.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/known_folder.h"
#include "tests/support/registry_names.h"
#include "tests/support/win32_world.h"

namespace brenvik {
namespace {

using test::kNameSpace;

bool SetText(const std::string& path, const char* name, const char* text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG set = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                    static_cast<DWORD>(strlen(text) + 1));
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

// The value's text; "-" for a value or key that is not there.
std::string Text(const std::string& path, const char* name) {
    char data[256] = {};
    DWORD size = sizeof data - 1;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return "-";
    return data;
}

// A name space entry of the real machine hive, kept by a set in the real store and deleted as
// a repair deletes it; both go at the end.
class RestoreRecordWine : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        UseDeclaredPlaces(m_broker, m_ports);
        m_entry = std::string(kNameSpace) + "\\" + test::NewClassId();
        ASSERT_TRUE(SetText(m_entry, "", "fake"));
        ASSERT_TRUE(SetText(m_entry + "\\Sub", "Kept", "deep"));
        BackupSet set(m_platform, m_platform);
        // A second of its own, far from any real run's; "-2", ... when a run left one.
        ASSERT_EQ(kErrorSuccess,
                  set.begin(SetHeader{"", "fix", "t", "pc", "u"}, UtcTime{2001, 2, 3, 4, 5, 6}));
        m_id = set.id();
        m_broker.setBackupSink(&set);
        ASSERT_EQ(kErrorSuccess, DeleteKeyTree(m_broker, kHKeyLocalMachine, m_entry));
        m_broker.setBackupSink(nullptr);
        ASSERT_EQ(kErrorSuccess, set.finish(m_broker, UtcTime{2001, 2, 3, 4, 5, 7}));
    }
    void TearDown() override {
        test::DeleteKeyTreeForcibly(HKEY_LOCAL_MACHINE, m_entry);
        if (!m_id.empty()) {
            const std::string backups = test::DataFolder() + "\\" + kBackupsFolder + "\\" + m_id;
            DeleteFileW(Utf8ToWide(backups + kSetSuffix).c_str());
            test::RemoveTree(backups);
        }
        CoUninitialize();
    }

    std::string recordFile() const { return test::DataFolder() + "\\" + ProgressPath(m_id); }

    std::string listing() {
        std::vector<SetListing> sets;
        EXPECT_EQ(kErrorSuccess, ListSets(m_platform, &sets));
        for (const SetListing& set : sets) {
            if (set.header.id == m_id)
                return SetListingLine(set);
        }
        return "(not listed)";
    }

    Win32Platform m_platform;
    Ports m_ports = m_platform.ports();
    Journal m_journal{m_platform};
    AccessBroker m_broker{m_ports, m_journal};
    std::string m_entry;
    std::string m_id;
};

// The state a restore leaves when it dies after creating the top key and its value, before
// the subkey: neither the kept tree nor the deleted one.
TEST_F(RestoreRecordWine, AHalfRestoredTreeIsFinishedOnlyOnARecordTheStoreAccepts) {
    StoredSet set;
    ASSERT_EQ(kErrorSuccess, ReadBackupSet(m_platform, m_id, &set));
    ASSERT_EQ(1u, set.objects.size());
    ASSERT_TRUE(SetText(m_entry, "", "fake"));
    {
        RestoreProgress progress(m_platform, set);
        ASSERT_EQ(kErrorSuccess, progress.begin(set.objects[0]));
    }
    const RestorePlaces places = CurrentRestorePlaces(m_ports, DeclaredPlaces(m_ports));
    const std::string listed = m_id + "  fix  t  1 objects, 0 failed";

    // Read-only, the record is one the store refuses (as it refuses any such store file).
    const std::wstring record = Utf8ToWide(recordFile());
    ASSERT_TRUE(SetFileAttributesW(record.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_EQ(kErrorSuccess, ReadBackupSet(m_platform, m_id, &set));
    EXPECT_EQ(kErrorCantAccessFile, set.progressError);
    EXPECT_EQ(listed + ", restore record not made by this program", listing());
    std::vector<ObjectRestore> done = RestoreSet(m_broker, m_ports, set, places);
    ASSERT_EQ(1u, done.size());
    EXPECT_EQ(RestoreStep::Conflict, done[0].step);
    EXPECT_EQ("fake", Text(m_entry, ""));
    EXPECT_EQ("-", Text(m_entry + "\\Sub", "Kept")) << "the half tree stays";
    ASSERT_TRUE(SetFileAttributesW(record.c_str(), FILE_ATTRIBUTE_NORMAL));

    ASSERT_EQ(kErrorSuccess, ReadBackupSet(m_platform, m_id, &set));
    EXPECT_TRUE(set.restoreUnderway());
    EXPECT_EQ(listed + ", restore interrupted", listing());
    done = RestoreSet(m_broker, m_ports, set, places);
    ASSERT_EQ(1u, done.size());
    EXPECT_EQ(kErrorSuccess, done[0].error);
    EXPECT_EQ(RestoreStep::PutBack, done[0].step);
    EXPECT_TRUE(done[0].resumed);
    EXPECT_EQ("fake", Text(m_entry, ""));
    EXPECT_EQ("deep", Text(m_entry + "\\Sub", "Kept"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(record.c_str()))
        << "a restore that finished leaves no record";
    EXPECT_EQ(listed, listing());
}

}  // namespace
}  // namespace brenvik
