#include "engine/change/access_unlock.h"

#include <gtest/gtest.h>

#include <vector>

namespace brenvik {
namespace {

constexpr const char* kUserSid = "S-1-5-21-1-2-3-1001";

AccessEntry EveryoneKeyEntry() {
    return SidEntry(kAccessAllowedAceType, kObjectInheritAce | kContainerInheritAce, kKeyAllAccess,
                    kEveryoneSid);
}

AccessList ListOf(std::vector<AccessEntry> entries) {
    AccessList list;
    list.present = true;
    list.entries = std::move(entries);
    return list;
}

TEST(SetAccessRule, KeyWithoutListGetsTheEveryoneEntryAlone) {
    const AccessList result = WithSetAccess(AccessList{}, kEveryoneSid, kKeyAllAccess,
                                            kObjectInheritAce | kContainerInheritAce);
    EXPECT_TRUE(result.present);
    EXPECT_EQ(result.entries, std::vector<AccessEntry>{EveryoneKeyEntry()});
}

TEST(SetAccessRule, ReplacesTheTrusteesExplicitEntriesAndKeepsCanonicalOrder) {
    const AccessEntry inheritedUser =
        SidEntry(kAccessAllowedAceType, kInheritedAce, 0x20019, kUserSid);
    const AccessEntry inheritedEveryone =
        SidEntry(kAccessDeniedAceType, kInheritedAce, 0x2, kEveryoneSid);
    const AccessEntry denyUser = SidEntry(kAccessDeniedAceType, 0, 0x10000, kUserSid);
    const AccessList before = ListOf({
        SidEntry(kAccessDeniedAceType, 0, 0x2, kEveryoneSid),
        SidEntry(kAccessAllowedAceType, 0, 0x1, kEveryoneSid),
        inheritedUser,
        denyUser,
        inheritedEveryone,
    });
    const AccessList result = WithSetAccess(before, kEveryoneSid, kKeyAllAccess,
                                            kObjectInheritAce | kContainerInheritAce);
    // Inherited entries are not the trustee's explicit information: they stay, last.
    EXPECT_EQ(result.entries, (std::vector<AccessEntry>{denyUser, EveryoneKeyEntry(),
                                                        inheritedEveryone, inheritedUser}));
}

// The grant goes ahead of every entry, deny entries and entries of other types included, which
// all stay as they were: the list gives nobody else anything, and no deny stands before it.
TEST(GrantFirstRule, PutsTheGrantAheadAndKeepsEveryOtherEntry) {
    AccessEntry objectEntry;
    objectEntry.type = 5;  // ACCESS_ALLOWED_OBJECT_ACE_TYPE
    objectEntry.raw = {5, 0, 8, 0, 1, 2, 3, 4};
    const AccessEntry allowUser = SidEntry(kAccessAllowedAceType, 0, 0x1F01FF, kUserSid);
    const AccessEntry inherited =
        SidEntry(kAccessAllowedAceType, kInheritedAce, 0x1200A9, kUserSid);
    const AccessEntry denyEveryone = SidEntry(kAccessDeniedAceType, 0, kGenericAll, kEveryoneSid);
    const AccessEntry inheritedDeny =
        SidEntry(kAccessDeniedAceType, kInheritedAce, 0x2, kBuiltinAdministratorsSid);
    const AccessEntry grant =
        SidEntry(kAccessAllowedAceType, 0, kFileAllAccess, kBuiltinAdministratorsSid);
    const struct {
        const char* name;
        AccessList before;
        AccessList after;
    } cases[] = {
        {"empty list", ListOf({}), ListOf({grant})},
        {"deny first", ListOf({denyEveryone, allowUser}), ListOf({grant, denyEveryone, allowUser})},
        {"mixed", ListOf({inherited, allowUser, objectEntry, inheritedDeny, denyEveryone}),
         ListOf({grant, inherited, allowUser, objectEntry, inheritedDeny, denyEveryone})},
    };
    for (const auto& c : cases) {
        AccessList before = c.before;
        before.isProtected = true;
        AccessList expected = c.after;
        expected.isProtected = true;
        EXPECT_EQ(WithGrantFirst(before, kBuiltinAdministratorsSid, kFileAllAccess), expected)
            << c.name;
    }
}

}  // namespace
}  // namespace brenvik
