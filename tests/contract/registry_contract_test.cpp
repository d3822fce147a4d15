// What the registry port must do, on the model and on Win32 alike.
#include <cstring>
#include <vector>

#include "tests/contract/contract_test_base.h"

namespace brenvik::test {
namespace {

using RegistryContract = ContractTest;

constexpr std::uint8_t kSentinel = 0xBD;

// Creates root\path\sub and returns an open key for it.
ScopedKey Create(RegistryPort& registry, RegKey root, const std::string& path,
                 std::uint32_t access = kKeyReadWrite) {
    ScopedKey key(registry);
    EXPECT_EQ(kErrorSuccess, registry.createKey(root, path, access, key.put())) << path;
    return key;
}

Status SetText(RegistryPort& registry, RegKey key, const std::string& name,
               const std::string& text) {
    return registry.setValue(key, name, kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                             static_cast<std::uint32_t>(text.size() + 1));
}

TEST_F(RegistryContract, ValueFitsOnlyWhenTheBufferHoldsAllItsBytes) {
    struct Case {
        std::uint32_t dataSize, bufferSize;
        Status expected;
    };
    const Case cases[] = {{4096, 4096, kErrorSuccess},
                          {4097, 4096, kErrorMoreData},
                          {1, 0, kErrorMoreData},
                          {0, 0, kErrorSuccess}};
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    ScopedKey key = Create(registry(), kHKeyCurrentUser, path);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dataSize << " bytes into " << c.bufferSize);
        std::vector<std::uint8_t> data(c.dataSize, 'x');
        ASSERT_EQ(kErrorSuccess,
                  registry().setValue(key.get(), "v", kRegBinary, data.data(), c.dataSize));
        std::vector<std::uint8_t> buffer(c.bufferSize + 1, kSentinel);
        std::uint32_t type = 0, size = c.bufferSize;
        EXPECT_EQ(c.expected, registry().queryValue(key.get(), "v", &type, buffer.data(), &size));
        EXPECT_EQ(kRegBinary, type);
        // The needed size is reported either way.
        EXPECT_EQ(c.dataSize, size);
        EXPECT_EQ(kSentinel, buffer[c.bufferSize]) << "written beyond the buffer";
    }
}

TEST_F(RegistryContract, SizeQueryOfATextCountsItsTerminator) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    ScopedKey key = Create(registry(), kHKeyCurrentUser, path);
    ASSERT_EQ(kErrorSuccess, SetText(registry(), key.get(), "", "abc"));
    std::uint32_t type = 0, size = 0;
    ASSERT_EQ(kErrorSuccess, registry().queryValue(key.get(), "", &type, nullptr, &size));
    EXPECT_EQ(kRegSz, type);
    EXPECT_EQ(4u, size);
    char text[8];
    std::memset(text, kSentinel, sizeof text);
    size = sizeof text;
    ASSERT_EQ(kErrorSuccess, registry().queryValue(key.get(), "", nullptr,
                                                   reinterpret_cast<std::uint8_t*>(text), &size));
    EXPECT_STREQ("abc", text);
}

TEST_F(RegistryContract, MissingValueIsFileNotFound) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    ScopedKey key = Create(registry(), kHKeyCurrentUser, path);
    std::uint8_t buffer[16];
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(kErrorFileNotFound, registry().queryValue(key.get(), "none", nullptr, buffer, &size));
    EXPECT_EQ(kErrorFileNotFound, registry().queryValue(key.get(), "", nullptr, buffer, &size));
}

TEST_F(RegistryContract, ValueNamesIgnoreLetterCaseAndARewriteReplaces) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    ScopedKey key = Create(registry(), kHKeyCurrentUser, path);
    ASSERT_EQ(kErrorSuccess, SetText(registry(), key.get(), "Desktop", "old"));
    ASSERT_EQ(kErrorSuccess, SetText(registry(), key.get(), "DESKTOP", "newer"));
    char text[16] = {};
    std::uint32_t size = sizeof text;
    ASSERT_EQ(kErrorSuccess, registry().queryValue(key.get(), "desktop", nullptr,
                                                   reinterpret_cast<std::uint8_t*>(text), &size));
    EXPECT_STREQ("newer", text);
    EXPECT_EQ(6u, size);
}

// Windows promises no order; its hives and Wine both keep subkeys sorted by name without
// letter case, whatever the creation order. (They fold case differently, so names holding
// one of [\]^_` may sort apart; none is used here.)
TEST_F(RegistryContract, SubkeysEnumerateByIndexInNameOrderThenNoMoreItems) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    for (const char* name : {"{B}", "b2", "{a}", "AZ", "c"})
        Create(registry(), kHKeyCurrentUser, path + "\\" + name);
    ScopedKey key(registry());
    ASSERT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyRead, key.put()));
    std::uint32_t count = 0;
    ASSERT_EQ(kErrorSuccess, registry().querySubkeyCount(key.get(), &count));
    EXPECT_EQ(5u, count);
    std::vector<std::string> names;
    for (std::uint32_t index = 0;; ++index) {
        char name[256];
        std::uint32_t size = sizeof name;
        const Status status = registry().enumKey(key.get(), index, name, &size);
        if (status != kErrorSuccess) {
            EXPECT_EQ(kErrorNoMoreItems, status);
            EXPECT_EQ(5u, index);
            break;
        }
        EXPECT_EQ(std::strlen(name), size);
        names.push_back(name);
    }
    // '{' sorts after every letter.
    EXPECT_EQ((std::vector<std::string>{"AZ", "b2", "c", "{a}", "{B}"}), names);
}

TEST_F(RegistryContract, EnumKeyWantsRoomForTheNameAndItsTerminator) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    Create(registry(), kHKeyCurrentUser, path + "\\abcd");
    ScopedKey key(registry());
    ASSERT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyRead, key.put()));
    char name[8];
    std::uint32_t size = 4;
    EXPECT_EQ(kErrorMoreData, registry().enumKey(key.get(), 0, name, &size));
    size = 5;
    ASSERT_EQ(kErrorSuccess, registry().enumKey(key.get(), 0, name, &size));
    EXPECT_EQ(4u, size);
    EXPECT_STREQ("abcd", name);
}

TEST_F(RegistryContract, OpenIgnoresLetterCase) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    Create(registry(), kHKeyCurrentUser, path + "\\Shell\\Open");
    ScopedKey key(registry());
    EXPECT_EQ(kErrorSuccess,
              registry().openKey(kHKeyCurrentUser, path + "\\SHELL\\open", kKeyRead, key.put()));
    ScopedKey missing(registry());
    EXPECT_EQ(kErrorFileNotFound,
              registry().openKey(kHKeyCurrentUser, path + "\\Shel", kKeyRead, missing.put()));
}

// U+4E04 is GBK 0x81 0x41; with its trail byte lower-cased it would be U+4E64 (0x81 0x61).
// Both are named in UTF-8 here, whatever the code page.
TEST_F(RegistryContract, DoubleByteCharacterIsNotFoldedAsAscii) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    Create(registry(), kHKeyCurrentUser, path + "\\{\xE4\xB8\x84}");
    ScopedKey key(registry());
    EXPECT_EQ(kErrorFileNotFound,
              registry().openKey(kHKeyCurrentUser, path + "\\{\xE4\xB9\xA4}", kKeyRead, key.put()));
    EXPECT_EQ(kErrorSuccess,
              registry().openKey(kHKeyCurrentUser, path + "\\{\xE4\xB8\x84}", kKeyRead, key.put()));
}

TEST_F(RegistryContract, OpenRelativeToAnOpenKey) {
    const std::string path = world().scratchKey(kHKeyLocalMachine);
    Create(registry(), kHKeyLocalMachine, path + "\\verb\\Command");
    ScopedKey shell(registry());
    ASSERT_EQ(kErrorSuccess, registry().openKey(kHKeyLocalMachine, path, kKeyRead, shell.put()));
    ScopedKey command(registry());
    EXPECT_EQ(kErrorSuccess,
              registry().openKey(shell.get(), "verb\\command", kKeyReadWrite, command.put()));
}

TEST_F(RegistryContract, DeleteIsRefusedWhileASubkeyExists) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    Create(registry(), kHKeyCurrentUser, path + "\\parent\\child");
    EXPECT_EQ(kErrorAccessDenied, registry().deleteKey(kHKeyCurrentUser, path + "\\parent"));
    EXPECT_EQ(kErrorSuccess, registry().deleteKey(kHKeyCurrentUser, path + "\\parent\\child"));
    EXPECT_EQ(kErrorSuccess, registry().deleteKey(kHKeyCurrentUser, path + "\\parent"));
    EXPECT_EQ(kErrorFileNotFound, registry().deleteKey(kHKeyCurrentUser, path + "\\parent"));
}

TEST_F(RegistryContract, DeletedKeyCannotBeOpenedAndItsOpenHandleFails) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    ScopedKey held = Create(registry(), kHKeyCurrentUser, path + "\\gone");
    ASSERT_EQ(kErrorSuccess, registry().deleteKey(kHKeyCurrentUser, path + "\\gone"));
    ScopedKey again(registry());
    EXPECT_EQ(kErrorFileNotFound,
              registry().openKey(kHKeyCurrentUser, path + "\\gone", kKeyRead, again.put()));
    std::uint32_t count = 0;
    EXPECT_EQ(kErrorKeyDeleted, registry().querySubkeyCount(held.get(), &count));
    EXPECT_EQ(kErrorKeyDeleted, SetText(registry(), held.get(), "v", "x"));
}

TEST_F(RegistryContract, CreateMakesMissingParentsAndOpensAnExistingKey) {
    const std::string path = world().scratchKey(kHKeyLocalMachine);
    {
        ScopedKey deep = Create(registry(), kHKeyLocalMachine, path + "\\a\\b\\c");
        ASSERT_EQ(kErrorSuccess, SetText(registry(), deep.get(), "v", "kept"));
    }
    ScopedKey again = Create(registry(), kHKeyLocalMachine, path + "\\A\\B\\C");
    char text[8] = {};
    std::uint32_t size = sizeof text;
    EXPECT_EQ(kErrorSuccess, registry().queryValue(again.get(), "v", nullptr,
                                                   reinterpret_cast<std::uint8_t*>(text), &size));
    EXPECT_STREQ("kept", text);
    ScopedKey middle(registry());
    EXPECT_EQ(kErrorSuccess,
              registry().openKey(kHKeyLocalMachine, path + "\\a\\b", kKeyRead, middle.put()));
}

// Value names come in the order they were first set, and keep their first spelling when set
// again in another case; a deleted one (named in any case) is gone from the enumeration, a
// missing one cannot be deleted, and a handle opened for reading deletes none.
TEST_F(RegistryContract, ValueNamesEnumerateInOrderAndADeletedValueIsGone) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    ScopedKey key = Create(registry(), kHKeyCurrentUser, path);
    for (const char* name : {"b", "", "a c", "A C"})
        ASSERT_EQ(kErrorSuccess, SetText(registry(), key.get(), name, "x"));
    ScopedKey reading(registry());
    ASSERT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyRead, reading.put()));
    EXPECT_EQ(kErrorAccessDenied, registry().deleteValue(reading.get(), "b"));
    ASSERT_EQ(kErrorSuccess, registry().deleteValue(key.get(), "B"));
    EXPECT_EQ(kErrorFileNotFound, registry().deleteValue(key.get(), "b"));
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; registry().enumValueName(reading.get(), i, &name) == kErrorSuccess;
         ++i)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"", "a c"}));
    EXPECT_EQ(kErrorNoMoreItems, registry().enumValueName(reading.get(), 2, &name));
}

// Text written from UTF-8 reads back as the same text, non-ASCII included, with its type.
TEST_F(RegistryContract, TextIsWrittenAsUnicodeWithItsType) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    ScopedKey key = Create(registry(), kHKeyCurrentUser, path);
    const std::string text = "\"C:\\\xE7\x8E\x8B\\b.exe\" %1";  // a folder named 王
    ASSERT_EQ(kErrorSuccess, registry().setText(key.get(), "", kRegExpandSz, text));
    char data[64] = {};
    std::uint32_t type = 0, size = sizeof data;
    ASSERT_EQ(kErrorSuccess, registry().queryValue(key.get(), "", &type,
                                                   reinterpret_cast<std::uint8_t*>(data), &size));
    EXPECT_EQ(kRegExpandSz, type);
    EXPECT_EQ(text + '\0', std::string(data, size));
}

// A handle carries the rights it was opened with, whatever the key's access list allows.
TEST_F(RegistryContract, HandleOpenedForReadingCannotWrite) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    Create(registry(), kHKeyCurrentUser, path);
    ScopedKey key(registry());
    ASSERT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyRead, key.put()));
    EXPECT_EQ(kErrorAccessDenied, SetText(registry(), key.get(), "v", "x"));
}

TEST_F(RegistryContract, NameWithAnEmbeddedNulIsRefusedNotCut) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    ScopedKey key = Create(registry(), kHKeyCurrentUser, path);
    Create(registry(), kHKeyCurrentUser, path + "\\a");
    ASSERT_EQ(kErrorSuccess, SetText(registry(), key.get(), "a", "kept"));
    const std::string cut = std::string("a\0b", 3);
    ScopedKey other(registry());
    EXPECT_EQ(kErrorInvalidName,
              registry().openKey(kHKeyCurrentUser, path + "\\" + cut, kKeyRead, other.put()));
    EXPECT_EQ(kNoKey, other.get());
    EXPECT_EQ(kErrorInvalidName,
              registry().createKey(kHKeyCurrentUser, path + "\\" + cut, kKeyRead, other.put()));
    EXPECT_EQ(kErrorInvalidName, registry().deleteKey(kHKeyCurrentUser, path + "\\" + cut));
    EXPECT_EQ(kErrorInvalidName, SetText(registry(), key.get(), cut, "other"));
    std::uint8_t buffer[16];
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(kErrorInvalidName, registry().queryValue(key.get(), cut, nullptr, buffer, &size));
    // "a" is as it was: neither deleted nor rewritten.
    EXPECT_EQ(kErrorSuccess,
              registry().openKey(kHKeyCurrentUser, path + "\\a", kKeyRead, other.put()));
    size = sizeof buffer;
    ASSERT_EQ(kErrorSuccess, registry().queryValue(key.get(), "a", nullptr, buffer, &size));
    EXPECT_EQ(std::string("kept", 5), std::string(reinterpret_cast<char*>(buffer), size));
}

TEST_F(RegistryContract, ALinkIsFollowedForReadingAndRefusedForAChange) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    {
        ScopedKey target = Create(registry(), kHKeyCurrentUser, path + "\\target");
        ASSERT_EQ(kErrorSuccess, SetText(registry(), target.get(), "v", "target"));
    }
    world().makeKeyLink(kHKeyCurrentUser, path + "\\link", path + "\\target");
    const std::string link = path + "\\link";

    ScopedKey read(registry());
    ASSERT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, link, kKeyRead, read.put()));
    std::uint8_t buffer[16];
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(kErrorSuccess, registry().queryValue(read.get(), "v", nullptr, buffer, &size));
    read.reset();

    // KEY_SET_VALUE, KEY_CREATE_SUB_KEY, DELETE, WRITE_DAC and read and write together.
    for (std::uint32_t access : {0x2u, 0x4u, 0x10000u, 0x40000u, kKeyReadWrite}) {
        SCOPED_TRACE(testing::Message() << std::hex << access);
        ScopedKey changed(registry());
        EXPECT_EQ(kErrorCantAccessFile,
                  registry().openKey(kHKeyCurrentUser, link, access, changed.put()));
        EXPECT_EQ(kNoKey, changed.get());
        EXPECT_EQ(kErrorCantAccessFile,
                  registry().createKey(kHKeyCurrentUser, link, access, changed.put()));
        EXPECT_EQ(kNoKey, changed.get());
    }
    EXPECT_EQ(kErrorCantAccessFile, registry().deleteKey(kHKeyCurrentUser, link));
    // What the link leads to is untouched.
    ScopedKey target(registry());
    ASSERT_EQ(kErrorSuccess,
              registry().openKey(kHKeyCurrentUser, path + "\\target", kKeyRead, target.put()));
    size = sizeof buffer;
    ASSERT_EQ(kErrorSuccess, registry().queryValue(target.get(), "v", nullptr, buffer, &size));
    EXPECT_EQ(std::string("target", 7), std::string(reinterpret_cast<char*>(buffer), size));
}

}  // namespace
}  // namespace brenvik::test
