// What the content port must do: whole files and raw values read back exactly as written.
#include "engine/ports/content_port.h"

#include "tests/contract/contract_test_base.h"

namespace brenvik::test {
namespace {

class ContentContract : public ContractTest {
protected:
    // Both platforms are content ports as well.
    ContentPort& content() { return dynamic_cast<ContentPort&>(registry()); }
};

const std::string kBinary("MZ\0\x01\xFF\xFE text \r\n", 14);

TEST_F(ContentContract, FileBytesReadBackExactly) {
    const std::string folder = world().scratchFolder();
    const std::string path = folder + "\\kept.bin";
    std::string bytes = "sentinel";
    EXPECT_EQ(kErrorFileNotFound, content().readFileBytes(path, &bytes));
    EXPECT_EQ(kErrorSuccess, content().writeFileBytes(path, kBinary, false));
    EXPECT_EQ(kErrorSuccess, content().readFileBytes(path, &bytes));
    EXPECT_EQ(kBinary, bytes);
    EXPECT_EQ(kErrorSuccess, content().readFileBytes(path, &bytes, OpenMode::BackupIntent));
    EXPECT_EQ(kBinary, bytes);

    // A new file never replaces one that is there; replacing is asked for.
    EXPECT_EQ(kErrorFileExists, content().writeFileBytes(path, "x", false));
    EXPECT_EQ(kErrorSuccess, content().writeFileBytes(path, "", true));
    EXPECT_EQ(kErrorSuccess, content().readFileBytes(path, &bytes));
    EXPECT_EQ("", bytes);
    EXPECT_EQ(kErrorSuccess, content().writeFileBytes(path, kBinary, true, OpenMode::BackupIntent));
    EXPECT_EQ(kErrorSuccess, content().readFileBytes(path, &bytes));
    EXPECT_EQ(kBinary, bytes);
    EXPECT_EQ(kErrorPathNotFound,
              content().writeFileBytes(folder + "\\missing\\a.bin", kBinary, false));
}

TEST_F(ContentContract, AShortcutsBytesWrittenBackAreTheSameShortcut) {
    const std::string path = world().scratchFolder() + "\\Internet Explorer.lnk";
    world().makeShortcut(path, world().existingProgram(), "http://example.test/ -x");
    std::string bytes;
    ASSERT_EQ(kErrorSuccess, content().readFileBytes(path, &bytes));
    ASSERT_EQ(kErrorSuccess, files().deleteFile(path));
    ASSERT_EQ(kErrorSuccess, content().writeFileBytes(path, bytes, false));
    EXPECT_EQ("http://example.test/ -x", Arguments(shortcuts(), path));
    std::string again;
    EXPECT_EQ(kErrorSuccess, content().readFileBytes(path, &again));
    EXPECT_EQ(bytes, again);
}

TEST_F(ContentContract, ValuesEnumerateWithTypesAndStoredBytes) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    ScopedKey key(registry());
    ASSERT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyReadWrite, key.put()));
    const ValueEntry written[] = {
        {"", kRegSz, std::string("a\0b\0\0\0", 6)},
        {"Bin", kRegBinary, kBinary},
        {"\xE5\x90\x8D", kRegDword, std::string("\x07\0\0\0", 4)},
        {"Empty", kRegNone, ""},
    };
    for (const ValueEntry& value : written)
        ASSERT_EQ(kErrorSuccess,
                  content().setValueBytes(key.get(), value.name, value.type, value.data));
    std::vector<ValueEntry> read;
    for (std::uint32_t i = 0;; ++i) {
        ValueEntry value;
        const Status s = content().enumValue(key.get(), i, &value);
        if (s == kErrorNoMoreItems)
            break;
        ASSERT_EQ(kErrorSuccess, s);
        read.push_back(value);
    }
    ASSERT_EQ(4u, read.size());
    for (const ValueEntry& value : written) {
        bool found = false;
        for (const ValueEntry& got : read) found = found || got == value;
        EXPECT_TRUE(found) << value.name;
    }
}

}  // namespace
}  // namespace brenvik::test
