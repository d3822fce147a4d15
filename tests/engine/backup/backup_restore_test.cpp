// Fix and Fix Desktop keep a backup set; restore puts it back, skips what changed since, and
// restores what a set cut short holds.
#include <gtest/gtest.h>

#include <map>

#include "engine/backup/backup_progress.h"
#include "engine/backup/backup_restore.h"
#include "engine/backup/backup_set.h"
#include "engine/change/sddl.h"
#include "engine/commands/command_line.h"
#include "engine/commands/commands.h"
#include "platform/model/model_host.h"
#include "tests/engine/browser_world.h"
#include "tests/engine/model_world.h"
#include "tests/support/registry_names.h"

namespace brenvik {
namespace {

using test::kPlacesKey;
using testing::ModelWorld;

std::string Entry() {
    return std::string(test::kNameSpace) + "\\" + test::kClassA;
}

// Everything a repair or a restore may touch, as text: keys with values, types, bytes and
// lists; files with content, attributes and lists.
void DumpKey(model::ModelPlatform& p, RegKey root, const std::string& path, std::string* out) {
    if (!p.hasKey(root, path))
        return;
    *out += "key " + path + " " + AccessListToSddl(p.keyAccessList(root, path)) + "\n";
    for (const std::string& name : p.valueNames(root, path)) {
        const auto value = p.value(root, path, name);
        *out += "  " + name + "=" + std::to_string(value->type) + ":" +
                std::string(value->data.begin(), value->data.end()) + "\n";
    }
    for (const std::string& sub : p.subkeyNames(root, path))
        DumpKey(p, root, path + "\\" + sub, out);
}

void DumpFolder(model::ModelPlatform& p, const std::string& folder, std::string* out) {
    for (const std::string& name : p.folderEntries(folder)) {
        const std::string path = folder + "\\" + name;
        *out += "file " + path + " " + std::to_string(p.fileAttributes(path)) + " " +
                AccessListToSddl(p.fileAccessList(path)) + " " +
                p.shortcutTarget(path).value_or("-") + " " +
                p.shortcutArguments(path).value_or("-") + "\n";
    }
}

std::string Snapshot(ModelWorld& w) {
    std::string out;
    DumpFolder(w.platform, testing::kDesktop, &out);
    DumpFolder(w.platform, testing::kQuickLaunch, &out);
    DumpKey(w.platform, kHKeyLocalMachine, test::kNameSpace, &out);
    DumpKey(w.platform, kHKeyLocalMachine, "SOFTWARE\\Classes\\CLSID", &out);
    DumpKey(w.platform, kHKeyCurrentUser, std::string(test::kHideIcons) + "\\NewStartPanel", &out);
    DumpKey(w.platform, kHKeyCurrentUser, "Software\\Classes\\CLSID", &out);
    DumpKey(w.platform, kHKeyClassesRoot, "CLSID", &out);
    return out;
}

// A profile with one finding of each Internet Explorer kind; the entry's key has a subkey,
// values of several types and a list of its own.
struct BackupWorld : ModelWorld {
    model::ModelHost& host = platform.host();
    CommandHost commands{ports};

    BackupWorld() {
        platform.addShortcut(desktop("Internet Explorer.lnk"), "C:\\ie.exe", "http://d/",
                             kFileAttributeHidden | kFileAttributeReadOnly);
        platform.addShortcut(quickLaunch("Internet Explorer.lnk"), "C:\\ie.exe", "http://q/");
        // Refuses the administrators everything: kept, rewritten and put back all the same.
        platform.setFileAccessList(quickLaunch("Internet Explorer.lnk"),
                                   testing::DenyingAdministrators());
        platform.putString(kHKeyLocalMachine, Entry(), "", "Fake icon");
        platform.putDword(kHKeyLocalMachine, Entry(), "Flags", 7);
        platform.putValue(kHKeyLocalMachine, Entry() + "\\Sub", "Bin", kRegBinary, {0, 1, 0xFF});
        platform.setKeyAccessList(kHKeyLocalMachine, Entry(), testing::DenyingAdministrators());
        platform.putString(
            kHKeyLocalMachine,
            std::string(test::kMachineClasses) + test::kClassA + "\\shell\\open\\Command", "",
            "iexplore.exe http://n/");
    }

    CommandReport fix() { return FixCommand(commands); }
    CommandReport restore(const std::string& id = "last", bool* found = nullptr) {
        bool ignored = false;
        return RestoreCommand(commands, id, found ? found : &ignored);
    }
};

std::vector<std::string> Results(const CommandReport& report) {
    std::vector<std::string> results;
    for (const ResultRecord& r : report.records)
        results.push_back(r.location + ":" + OutcomeName(r.result) + ":" + r.error);
    return results;
}

TEST(Backup, FixKeepsEverythingAndRestoreBringsTheProfileBackTwice) {
    BackupWorld w;
    const std::string before = Snapshot(w);

    const CommandReport fixed = w.fix();
    EXPECT_EQ(Results(fixed), (std::vector<std::string>{"Desktop NameSpace:fixed:",
                                                        "Quick Launch:fixed:", "Desktop:fixed:"}));
    EXPECT_EQ("20261208T190648Z", fixed.backup);
    EXPECT_NE(before, Snapshot(w));

    const CommandReport restored = w.restore();
    EXPECT_EQ("20261208T190648Z", restored.backup);
    EXPECT_EQ(3u, restored.records.size());
    for (const ResultRecord& r : restored.records) EXPECT_EQ(Outcome::Restored, r.result) << r.path;
    EXPECT_EQ(before, Snapshot(w));
    EXPECT_EQ(0u, w.platform.storeFiles().count(ProgressPath(restored.backup)))
        << "a restore that finished leaves no record";

    const CommandReport again = w.restore();
    for (const ResultRecord& r : again.records) {
        EXPECT_EQ(Outcome::Restored, r.result);
        EXPECT_EQ("none: as before the repair", r.action);
    }
    EXPECT_EQ(before, Snapshot(w));
    EXPECT_EQ(
        2, ExitCode(LineCommand::Restore,
                    Summarize({ResultRecord{"", "", "", "", "", "", "", Outcome::Conflict, ""}})));
    EXPECT_EQ(1, ExitCode(LineCommand::Restore, Summarize(again.records)));
}

TEST(Backup, WhatChangedSinceTheRepairIsAConflictAndStays) {
    BackupWorld w;
    w.fix();
    // A new shortcut at the deleted one's path, and the entry created again.
    w.platform.addShortcut(ModelWorld::desktop("Internet Explorer.lnk"), "C:\\mine.exe", "");
    w.platform.addKey(kHKeyLocalMachine, Entry());

    const CommandReport restored = w.restore();
    std::vector<std::string> results = Results(restored);
    EXPECT_EQ(results, (std::vector<std::string>{
                           "File:conflict:changed since the repair",
                           "File:restored:", "Registry:conflict:changed since the repair"}));
    EXPECT_EQ("C:\\mine.exe",
              w.platform.shortcutTarget(ModelWorld::desktop("Internet Explorer.lnk")));
    EXPECT_TRUE(w.platform.subkeyNames(kHKeyLocalMachine, Entry()).empty());
    EXPECT_EQ("http://q/",
              w.platform.shortcutArguments(ModelWorld::quickLaunch("Internet Explorer.lnk")));
    EXPECT_EQ(2, ExitCode(LineCommand::Restore, Summarize(restored.records)));
}

TEST(Backup, ASetCutShortIsIncompleteAndRestoresWhatItHolds) {
    BackupWorld w;
    const std::string before = Snapshot(w);
    {
        // The run dies after keeping two objects: one deleted, one not yet changed.
        BackupSet set(w.platform, w.platform);
        ASSERT_EQ(kErrorSuccess, set.begin(SetHeader{"", "fix", "t", "pc", "u"}, w.host.now()));
        w.broker.setBackupSink(&set);
        const std::string desktopLink = ModelWorld::desktop("Internet Explorer.lnk");
        ASSERT_EQ(kErrorSuccess,
                  set.beforeChange(w.broker, {ChangedObject::Kind::File, kNoKey, desktopLink},
                                   "delete file"));
        ASSERT_EQ(kErrorSuccess, w.broker.keepKeyTree(kHKeyLocalMachine, Entry()));
        w.platform.setAttributes(desktopLink, 0);
        ASSERT_EQ(kErrorSuccess, w.platform.deleteFile(desktopLink));
        w.broker.setBackupSink(nullptr);
    }
    std::vector<SetListing> sets;
    ASSERT_EQ(kErrorSuccess, ListSets(w.platform, &sets));
    ASSERT_EQ(1u, sets.size());
    EXPECT_FALSE(sets[0].complete);
    EXPECT_EQ(2, sets[0].objects);
    EXPECT_EQ("20261208T190648Z  fix  t  2 objects, 2 failed, incomplete", SetListingLine(sets[0]));

    const CommandReport restored = w.restore();
    EXPECT_EQ(Results(restored),
              (std::vector<std::string>{"Registry:restored:", "File:restored:"}));
    EXPECT_EQ(before, Snapshot(w));
}

TEST(Backup, TornRecordsAreSkippedAndTheRestRestores) {
    BackupWorld w;
    const CommandReport fixed = w.fix();
    const std::string manifest =
        std::string(kBackupsFolder) + "\\" + fixed.backup + "\\" + kManifestName;
    std::string text = w.platform.storeFiles().at(manifest);
    // The Quick Launch object's line (the second kept) torn by a crash mid-write.
    const std::size_t line = text.find("\nobject 2 ");
    ASSERT_NE(std::string::npos, line);
    const std::size_t end = text.find('\n', line + 1);
    text.replace(line + 1, end - line - 1, "object 2 {\"kind\":\"file\",\"pa");
    w.platform.putStoreFile(manifest, text);
    StoredSet set;
    ASSERT_EQ(kErrorSuccess, ReadBackupSet(w.platform, fixed.backup, &set));
    EXPECT_EQ(2, set.unreadable);  // the torn line, and the result of its object
    EXPECT_EQ(2u, set.objects.size());
    const CommandReport restored = w.restore();
    EXPECT_EQ(Results(restored),
              (std::vector<std::string>{"File:restored:", "Registry:restored:"}));
    EXPECT_EQ("", w.platform.shortcutArguments(ModelWorld::quickLaunch("Internet Explorer.lnk")));
}

TEST(Backup, NoSetNoRestoreAndAForeignFolderIsNotActedOn) {
    BackupWorld w;
    bool found = true;
    w.restore("last", &found);
    EXPECT_FALSE(found);
    const CommandReport fixed = w.fix();
    w.restore("20990101T000000Z", &found);
    EXPECT_FALSE(found);

    w.platform.putForeignStoreFolder(kBackupsFolder);
    const CommandReport refused = w.restore(fixed.backup, &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(Results(refused),
              (std::vector<std::string>{"Backups:failed:backup folder not trusted"}));
    EXPECT_FALSE(w.platform.hasFile(ModelWorld::desktop("Internet Explorer.lnk")));
}

TEST(Backup, ABackupThatCannotBeWrittenChangesNothing) {
    BackupWorld w;
    const std::string before = Snapshot(w);
    w.platform.injectFailure("writeDurably", "*", 112);
    const CommandReport fixed = w.fix();
    EXPECT_EQ("", fixed.backup);
    for (const ResultRecord& r : fixed.records) {
        EXPECT_EQ(Outcome::Failed, r.result);
        EXPECT_EQ("no backup: disk full", r.error);
    }
    EXPECT_EQ(before, Snapshot(w));
    EXPECT_EQ(2, ExitCode(LineCommand::Fix, Summarize(fixed.records)));
}

TEST(Backup, AFailedRepairIsReportedWithItsReason) {
    BackupWorld w;
    w.platform.injectFailure("deleteFile", "*", kErrorAccessDenied);
    w.platform.injectFailure("deleteFileForBackup", "*", kErrorAccessDenied);
    const CommandReport fixed = w.fix();
    EXPECT_EQ(Results(fixed),
              (std::vector<std::string>{"Desktop NameSpace:fixed:", "Quick Launch:fixed:",
                                        "Desktop:failed:access denied"}));
    EXPECT_EQ("Failed: access denied", StatusCell(fixed.records[2]));
    EXPECT_EQ(2, ExitCode(LineCommand::Fix, Summarize(fixed.records)));
}

TEST(Backup, FixDesktopIsKeptAndRestored) {
    BackupWorld w;
    w.platform.putDword(kHKeyCurrentUser, std::string(test::kHideIcons) + "\\NewStartPanel",
                        test::kIeClass, 1);
    w.platform.putString(kHKeyLocalMachine, kPlacesKey, "", "Old name");
    const std::string before = Snapshot(w);
    const CommandReport fixed = FixDesktopCommand(w.commands);
    EXPECT_FALSE(fixed.backup.empty());
    EXPECT_EQ(1, ExitCode(LineCommand::FixDesktop, Summarize(fixed.records)));
    EXPECT_NE(before, Snapshot(w));
    const CommandReport restored = w.restore();
    EXPECT_EQ(1, ExitCode(LineCommand::Restore, Summarize(restored.records)));
    EXPECT_EQ(before, Snapshot(w));
}

// The network places class in both hives: Fix Desktop removes the user's and rewrites the
// machine's, each kept in its own hive, and the restore puts each back where it was; nothing
// of the user's reaches the machine's registration.
TEST(Backup, FixDesktopKeepsAndRestoresEachClassHiveInItsOwn) {
    BackupWorld w;
    const std::string places = kPlacesKey;
    w.platform.putString(kHKeyLocalMachine, places, "", "Machine name");
    w.platform.putString(kHKeyLocalMachine, places + "\\shell\\open\\command", "", "m.exe");
    w.platform.putString(kHKeyCurrentUser, places, "UserOnly", "user");
    w.platform.putString(kHKeyCurrentUser, places + "\\shell\\open\\command", "", "u.exe");
    const std::string before = Snapshot(w);

    const CommandReport fixed = FixDesktopCommand(w.commands);
    EXPECT_EQ(1, ExitCode(LineCommand::FixDesktop, Summarize(fixed.records)));
    for (const ResultRecord& r : fixed.records)
        EXPECT_TRUE(r.path.rfind("HKLM\\", 0) == 0 || r.path.rfind("HKCU\\", 0) == 0) << r.path;
    EXPECT_FALSE(w.platform.hasKey(kHKeyCurrentUser, places));
    EXPECT_FALSE(w.platform.value(kHKeyLocalMachine, places, "UserOnly"));
    EXPECT_FALSE(w.platform.hasKey(kHKeyLocalMachine, places + "\\shell\\open"));
    EXPECT_TRUE(
        w.platform.value(kHKeyLocalMachine, places + "\\ShellFolder", "HideOnDesktopPerUser"));
    EXPECT_TRUE(w.platform.subkeyNames(kHKeyClassesRoot, "CLSID").empty());

    const CommandReport restored = w.restore();
    EXPECT_EQ(1, ExitCode(LineCommand::Restore, Summarize(restored.records)));
    EXPECT_EQ(before, Snapshot(w));
}

// A set from before kept the class through HKEY_CLASSES_ROOT, the user's and the machine's
// values in one view: those keys are refused with the reason, and nothing is written.
TEST(Backup, AnOldSetsMergedClassViewIsRefusedWithItsReason) {
    BackupWorld w;
    const std::string places = kPlacesKey;
    w.platform.putString(kHKeyLocalMachine, places, "", "Machine name");
    const CommandReport fixed = FixDesktopCommand(w.commands);
    ASSERT_FALSE(fixed.backup.empty());
    // The set as an older version wrote it: the class keys under "HKCR", by their HKCR path.
    for (const auto& [path, bytes] : std::map<std::string, std::string>(w.platform.storeFiles())) {
        std::string text = bytes;
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"\"HKLM\"", "\"HKCR\""},
                                       {"Software\\\\Classes\\\\CLSID", "CLSID"}}) {
            for (std::size_t at = text.find(from); at != std::string::npos;
                 at = text.find(from, at))
                text.replace(at, from.size(), to);
        }
        w.platform.putStoreFile(path, text);
    }
    const std::string after = Snapshot(w);
    const CommandReport restored = w.restore();
    std::size_t refused = 0;
    for (const ResultRecord& r : restored.records) {
        if (r.path.rfind("HKCR\\", 0) != 0)
            continue;
        ++refused;
        EXPECT_EQ(r.result, Outcome::Failed) << r.path;
        EXPECT_EQ(r.error, "merged class view: hive unknown") << r.path;
    }
    EXPECT_GT(refused, 0u);
    EXPECT_EQ(w.platform.value(kHKeyLocalMachine, places, "")->data.size(), 9u) << "left as fixed";
    EXPECT_TRUE(w.platform.subkeyNames(kHKeyClassesRoot, "CLSID").empty());
    EXPECT_EQ(after, Snapshot(w));
}

TEST(Backup, SetsOfTheSameSecondGetDistinctIds) {
    BackupWorld w;
    EXPECT_EQ("20261208T190648Z", w.fix().backup);
    EXPECT_EQ("20261208T190648Z-2", FixDesktopCommand(w.commands).backup);
    w.host.setNow(UtcTime{2027, 1, 2, 3, 4, 5});
    EXPECT_EQ("20270102T030405Z", w.fix().backup);
    std::vector<SetListing> sets;
    ASSERT_EQ(kErrorSuccess, ListSets(w.platform, &sets));
    ASSERT_EQ(3u, sets.size());
    // In time order, whatever the file names' order ("...Z-2.set" sorts before "...Z.set"):
    // "last" is the newest set even when two came in one second.
    EXPECT_EQ("20261208T190648Z", sets[0].header.id);
    EXPECT_EQ("20261208T190648Z-2", sets[1].header.id);
    EXPECT_EQ("20270102T030405Z", sets.back().header.id);
}

std::vector<std::string> Lines(model::ModelPlatform& p) {
    std::vector<SetListing> sets;
    EXPECT_EQ(kErrorSuccess, ListSets(p, &sets));
    std::vector<std::string> lines;
    for (const SetListing& set : sets) lines.push_back(SetListingLine(set));
    return lines;
}

// A set as another account could plant it: a header, and a manifest that would delete a
// key of the machine if it were ever restored.
void PlantSet(model::ModelPlatform& p, const std::string& id, model::StoreFlaw flaw) {
    p.putStoreFile(std::string(kBackupsFolder) + "\\" + id + kSetSuffix,
                   FormatSetHeader(SetHeader{id, "fix", "2999-12-31T23:59:59Z", "pc", "u"}), flaw);
    ObjectRecord record;
    record.object = ChangedObject{ChangedObject::Kind::Key, kHKeyLocalMachine, "Software\\Planted"};
    record.action = "delete key tree";
    p.putStoreFile(std::string(kBackupsFolder) + "\\" + id + "\\" + kManifestName,
                   std::string(kObjectLine) + " 1 " + FormatObjectRecord(record) + "\n", flaw);
}

const model::StoreFlaw kFileFlaws[] = {model::StoreFlaw::ForeignOwner,
                                       model::StoreFlaw::WritableByOthers,
                                       model::StoreFlaw::ReadOnly, model::StoreFlaw::HardLinked};

// A set file that others made or changed is never read: the set is listed as damaged with
// the reason, restoring it says why, and "last" is the newest set this program wrote.
TEST(Backup, SetFilesOthersShapedAreListedDamagedAndNeverRestored) {
    const std::string planted = "29991231T235959Z";
    for (model::StoreFlaw flaw : kFileFlaws) {
        const int n = static_cast<int>(flaw);
        {
            BackupWorld w;
            const std::string before = Snapshot(w);
            const CommandReport fixed = w.fix();
            PlantSet(w.platform, planted, flaw);
            EXPECT_EQ(Lines(w.platform),
                      (std::vector<std::string>{
                          fixed.backup + "  fix  2026-12-08T19:06:48Z  3 objects, 0 failed",
                          planted + "  damaged: header: not made by this program"}))
                << n;
            bool found = false;
            const CommandReport refused = w.restore(planted, &found);
            EXPECT_TRUE(found) << n;
            EXPECT_EQ(Results(refused),
                      (std::vector<std::string>{
                          "Backups:failed:backup set damaged: header: not made by this program"}))
                << n;
            const CommandReport restored = w.restore();
            EXPECT_EQ(fixed.backup, restored.backup) << n;
            EXPECT_EQ(before, Snapshot(w)) << n;
        }
        // A real set's manifest or kept bytes changed by others.
        for (const std::string& part : {std::string(kManifestName), std::string("2.before")}) {
            BackupWorld w;
            const CommandReport fixed = w.fix();
            const std::string path =
                std::string(kBackupsFolder) + "\\" + fixed.backup + "\\" + part;
            ASSERT_EQ(1u, w.platform.storeFiles().count(path)) << path;
            w.platform.putStoreFile(path, w.platform.storeFiles().at(path), flaw);
            const std::string why = (part == kManifestName ? "manifest" : "content " + part) +
                                    ": not made by this program";
            EXPECT_EQ(Lines(w.platform),
                      (std::vector<std::string>{fixed.backup + "  damaged: " + why}))
                << n << part;
            const CommandReport refused = w.restore(fixed.backup);
            EXPECT_EQ(Results(refused),
                      (std::vector<std::string>{"Backups:failed:backup set damaged: " + why}))
                << n << part;
            EXPECT_FALSE(w.platform.hasFile(ModelWorld::desktop("Internet Explorer.lnk")));
        }
    }
}

// The data folder or its Backups folder made beforehand by someone else: moved aside with
// what it holds, never read; Fix gets its backup in a fresh one, which restores.
TEST(Backup, AFolderOthersShapedIsMovedAsideAndFixStillKeepsItsBackup) {
    const model::StoreFlaw flaws[] = {model::StoreFlaw::ForeignOwner,
                                      model::StoreFlaw::WritableByOthers,
                                      model::StoreFlaw::RefusesAdministrators};
    for (const std::string& folder : {std::string(), std::string(kBackupsFolder)}) {
        for (model::StoreFlaw flaw : flaws) {
            const std::string what = "'" + folder + "' " + std::to_string(static_cast<int>(flaw));
            BackupWorld w;
            const std::string before = Snapshot(w);
            w.platform.putForeignStoreFolder(folder, flaw);
            PlantSet(w.platform, "29991231T235959Z", model::StoreFlaw::None);
            // Listed as what it is, when it can be listed at all.
            const std::vector<std::string> hostile =
                flaw == model::StoreFlaw::RefusesAdministrators
                    ? std::vector<std::string>{}
                    : std::vector<std::string>{
                          "29991231T235959Z  damaged: backup folder not trusted, moved aside"};
            EXPECT_EQ(hostile, Lines(w.platform)) << what;
            EXPECT_EQ(Lines(w.platform), std::vector<std::string>{}) << what;

            w.platform.putForeignStoreFolder(folder, flaw);
            PlantSet(w.platform, "29991231T235959Z", model::StoreFlaw::None);
            const CommandReport fixed = w.fix();
            EXPECT_EQ("20261208T190648Z", fixed.backup) << what;
            EXPECT_EQ(Results(fixed),
                      (std::vector<std::string>{
                          "Desktop NameSpace:fixed:", "Quick Launch:fixed:", "Desktop:fixed:"}))
                << what;
            EXPECT_EQ(Lines(w.platform),
                      (std::vector<std::string>{
                          "20261208T190648Z  fix  2026-12-08T19:06:48Z  3 objects, 0 failed"}))
                << what;
            const std::string aside =
                (folder.empty() ? std::string("..\\Brenvik") : folder) + ".untrusted-2\\";
            const std::string header =
                std::string(folder.empty() ? "Backups\\" : "") + "29991231T235959Z" + kSetSuffix;
            EXPECT_EQ(1u, w.platform.storeFiles().count(aside + header)) << what;
            w.restore();
            EXPECT_EQ(before, Snapshot(w)) << what;
        }
    }
}

// Sets written before kept bytes had files of their own hold them as hex in the manifest:
// they still list and restore. A record's content name reaches no file outside its set.
TEST(Backup, SetsWithBytesInTheManifestStillRestoreAndContentNamesStayInTheSet) {
    BackupWorld w;
    const std::string before = Snapshot(w);
    const CommandReport fixed = w.fix();
    StoredSet set;
    ASSERT_EQ(kErrorSuccess, ReadBackupSet(w.platform, fixed.backup, &set));
    const std::string folder = std::string(kBackupsFolder) + "\\" + fixed.backup + "\\";
    std::string manifest;
    for (std::size_t i = 0; i < set.objects.size(); ++i) {
        StoredObject object = set.objects[i];
        object.record.beforeContent = KeptContent{};
        object.result.afterContent = KeptContent{};
        const std::string number = std::to_string(i + 1);
        manifest += std::string(kObjectLine) + " " + number + " " +
                    FormatObjectRecord(object.record) + "\n" + kResultLine + " " + number + " " +
                    FormatObjectResult(object.record.object.kind, object.result) + "\n";
    }
    manifest += std::string(kFinishedLine) + " " + set.finished + "\n";
    std::vector<std::string> names;
    ASSERT_EQ(kErrorSuccess, w.platform.listFiles(folder.substr(0, folder.size() - 1), &names));
    for (const std::string& name : names) w.platform.removeFile(folder + name);
    w.platform.putStoreFile(folder + kManifestName, manifest);
    EXPECT_EQ(Lines(w.platform),
              (std::vector<std::string>{fixed.backup + "  fix  2026-12-08T19:06:48Z  3 "
                                                       "objects, 0 failed"}));
    w.restore(fixed.backup);
    EXPECT_EQ(before, Snapshot(w));

    const struct {
        const char* name;
        bool accepted;
    } contentNames[] = {{"2.before", true}, {"3.after-2", true}, {"a b", false},
                        {"..", false},      {".before", false},  {"..\\Journal\\x", false},
                        {"C:\\x", false},   {"a/b", false}};
    for (const auto& c : contentNames) {
        ObjectRecord record;
        record.object = ChangedObject{ChangedObject::Kind::File, kNoKey, "C:\\x.lnk"};
        record.action = "delete file";
        record.fileBefore.present = true;
        record.beforeContent = KeptContent{c.name, 1};
        ObjectRecord read;
        EXPECT_EQ(c.accepted, ParseObjectRecord(FormatObjectRecord(record), &read)) << c.name;
        if (c.accepted) {
            EXPECT_EQ(c.name, read.beforeContent.name);
        }
    }
}

// A world of many browser shortcuts: each Fix rewrites or removes them all.
struct BrowserBackupWorld : testing::BrowserWorld {
    model::ModelHost& host = platform.host();
    CommandHost commands{ports};
};

// A set grows with what it keeps, never past what reads back: two hundred rewritten
// shortcuts and one 600 KB Internet shortcut are listed, restored by id, and no store file
// the set reads carries another file's bytes.
TEST(Backup, ALargeSetIsListedAndRestoresById) {
    BrowserBackupWorld w;
    for (int i = 0; i < 200; ++i) {
        const std::string path =
            testing::BrowserWorld::desktop("Google Chrome " + std::to_string(i) + ".lnk");
        w.platform.addShortcut(path, testing::kChrome,
                               "--profile-directory=Default  \"https://hao123.com/?tn=1\"");
    }
    const std::string large =
        "[InternetShortcut]\r\nURL=http://fake.example/chrome\r\n" + std::string(600 * 1024, ';');
    w.platform.addTextFile(testing::BrowserWorld::desktop("Google Chrome.url"), large);

    const CommandReport fixed = FixCommand(w.commands);
    ASSERT_FALSE(fixed.backup.empty());
    EXPECT_EQ(201u, fixed.records.size());
    EXPECT_FALSE(w.platform.hasFile(testing::BrowserWorld::desktop("Google Chrome.url")));
    const std::string folder = std::string(kBackupsFolder) + "\\" + fixed.backup + "\\";
    const std::string manifest = w.platform.storeFiles().at(folder + kManifestName);
    EXPECT_LT(manifest.size(), 512u * 1024) << "kept bytes stay out of the manifest";

    std::vector<SetListing> sets;
    ASSERT_EQ(kErrorSuccess, ListSets(w.platform, &sets));
    ASSERT_EQ(1u, sets.size());
    EXPECT_EQ(fixed.backup + "  fix  2026-12-08T19:06:48Z  201 objects, 0 failed",
              SetListingLine(sets[0]));
    bool found = false;
    const CommandReport restored = RestoreCommand(w.commands, fixed.backup, &found);
    EXPECT_TRUE(found);
    ASSERT_EQ(201u, restored.records.size());
    for (const ResultRecord& r : restored.records) EXPECT_EQ(Outcome::Restored, r.result) << r.path;
    std::string back;
    ASSERT_EQ(kErrorSuccess,
              w.platform.readFileBytes(testing::BrowserWorld::desktop("Google Chrome.url"), &back));
    EXPECT_EQ(large, back);
    EXPECT_EQ("--profile-directory=Default  \"https://hao123.com/?tn=1\"",
              w.platform.shortcutArguments(testing::BrowserWorld::desktop("Google Chrome 7.lnk")));
}

// The network places class as Fix Desktop rewrites it: a restore deletes the rewritten tree
// (its ShellFolder subkey first), then creates the kept one.
struct PlacesWorld : BackupWorld {
    PlacesWorld() {
        platform.putString(kHKeyLocalMachine, kPlacesKey, "", "Machine name");
        platform.putString(kHKeyLocalMachine, std::string(kPlacesKey) + "\\shell\\open\\command",
                           "", "m.exe");
    }
    std::string record(const std::string& id) const { return ProgressPath(id); }
};

// A key-tree restore stopped midway (its top key refuses deletion once its subkey is gone)
// leaves a half tree that matches neither kept state. The restore's own record, as it left
// it, lets the next restore finish that tree; with no record, or one the store refuses, or
// one whose line names another object, the half tree stays a conflict.
TEST(RestoreRecord, AnInterruptedKeyRestoreIsFinishedOnlyOnItsOwnRecord) {
    enum class Tamper { None, Removed, Flawed, OtherObject };
    struct Case {
        const char* name;
        Tamper tamper;
        model::StoreFlaw flaw;
        bool finished;
        const char* listed;   // what the /backups line ends with after the tampering
        const char* skipped;  // the record the next restore passes over, if any
    };
    const char* refused = ", restore record not made by this program";
    const char* ignored = "Backups:skipped:restore record not made by this program, ignored";
    const Case cases[] = {
        {"as left", Tamper::None, {}, true, ", restore interrupted", nullptr},
        {"no record", Tamper::Removed, {}, false, "", nullptr},
        {"foreign owner", Tamper::Flawed, model::StoreFlaw::ForeignOwner, false, refused, ignored},
        {"writable by others", Tamper::Flawed, model::StoreFlaw::WritableByOthers, false, refused,
         ignored},
        {"read-only", Tamper::Flawed, model::StoreFlaw::ReadOnly, false, refused, ignored},
        {"hard-linked", Tamper::Flawed, model::StoreFlaw::HardLinked, false, refused, ignored},
        {"another object's line", Tamper::OtherObject, {}, false, "", nullptr},
    };
    for (const Case& c : cases) {
        PlacesWorld w;
        const std::string before = Snapshot(w);
        const CommandReport fixed = FixDesktopCommand(w.commands);
        ASSERT_FALSE(fixed.backup.empty()) << c.name;
        const std::string listed = fixed.backup + "  fixdesktop  2026-12-08T19:06:48Z  " +
                                   std::to_string(fixed.records.size()) + " objects, 0 failed";

        w.platform.injectFailure("deleteKey", std::string("MACHINE\\") + kPlacesKey, 112);
        const CommandReport stopped = w.restore();
        w.platform.clearFailures();
        EXPECT_EQ(2, ExitCode(LineCommand::Restore, Summarize(stopped.records))) << c.name;
        // Half gone: the rewritten top key stays, its new subkey is deleted, nothing is created.
        EXPECT_TRUE(w.platform.hasKey(kHKeyLocalMachine, kPlacesKey)) << c.name;
        EXPECT_FALSE(
            w.platform.hasKey(kHKeyLocalMachine, std::string(kPlacesKey) + "\\ShellFolder"))
            << c.name;
        EXPECT_FALSE(w.platform.hasKey(kHKeyLocalMachine, std::string(kPlacesKey) + "\\shell"))
            << c.name;
        ASSERT_EQ(1u, w.platform.storeFiles().count(w.record(fixed.backup))) << c.name;
        if (c.tamper == Tamper::None) {
            EXPECT_NE(std::string::npos,
                      w.platform.storeFiles().at(w.record(fixed.backup)).find("begun "))
                << c.name;
        }
        EXPECT_EQ(Lines(w.platform), std::vector<std::string>{listed + ", restore interrupted"})
            << c.name;

        const std::string path = w.record(fixed.backup);
        std::string text = w.platform.storeFiles().at(path);
        if (c.tamper == Tamper::Removed) {
            w.platform.removeFile(path);
        } else if (c.tamper == Tamper::Flawed) {
            w.platform.putStoreFile(path, text, c.flaw);
        } else if (c.tamper == Tamper::OtherObject) {
            const std::size_t at = text.find("{208D2C60");
            ASSERT_NE(std::string::npos, at);
            text.replace(at, 9, "{308D2C60");
            w.platform.putStoreFile(path, text);
        }
        EXPECT_EQ(Lines(w.platform), std::vector<std::string>{listed + c.listed}) << c.name;
        const std::string half = Snapshot(w);
        const CommandReport next = w.restore(fixed.backup);
        std::vector<std::string> places;
        for (const ResultRecord& r : next.records) {
            if (r.path == std::string("HKLM\\") + kPlacesKey)
                places.push_back(std::string(OutcomeName(r.result)) + ":" + r.action + ":" +
                                 r.error);
            else if (r.result != Outcome::Restored)
                places.push_back(r.location + ":" + OutcomeName(r.result) + ":" + r.error);
        }
        if (c.finished) {
            EXPECT_EQ(
                places,
                std::vector<std::string>{"restored:restore: finishes an interrupted restore:"})
                << c.name;
            EXPECT_EQ(before, Snapshot(w)) << c.name;
            EXPECT_EQ(0u, w.platform.storeFiles().count(w.record(fixed.backup))) << c.name;
            EXPECT_EQ(Lines(w.platform), std::vector<std::string>{listed}) << c.name;
            continue;
        }
        std::vector<std::string> expected;
        if (c.skipped != nullptr)
            expected.push_back(c.skipped);
        expected.push_back("conflict:restore:changed since the repair");
        EXPECT_EQ(places, expected) << c.name;
        EXPECT_EQ(half, Snapshot(w)) << c.name << ": the half tree is left as it is";
    }
}

// A restore that cannot record its progress changes nothing; a refused record is replaced by
// the restore's own when an object needs one, and the set then restores whole.
TEST(RestoreRecord, NoChangeWithoutARecordAndARefusedOneGivesWayToTheRestoresOwn) {
    PlacesWorld w;
    const std::string before = Snapshot(w);
    const CommandReport fixed = FixDesktopCommand(w.commands);
    const std::string after = Snapshot(w);
    const std::string path = w.record(fixed.backup);
    w.platform.injectFailure("writeDurably", path, 112);
    const CommandReport unrecorded = w.restore();
    ASSERT_FALSE(unrecorded.records.empty());
    for (const ResultRecord& r : unrecorded.records) {
        EXPECT_EQ(Outcome::Failed, r.result) << r.path;
        EXPECT_EQ("disk full", r.error) << r.path;
    }
    EXPECT_EQ(after, Snapshot(w));
    w.platform.clearFailures();

    w.platform.putStoreFile(path, "begun 1 planted\n", model::StoreFlaw::WritableByOthers);
    const CommandReport restored = w.restore();
    ASSERT_FALSE(restored.records.empty());
    EXPECT_EQ(Outcome::Skipped, restored.records[0].result);
    for (std::size_t i = 1; i < restored.records.size(); ++i)
        EXPECT_EQ(Outcome::Restored, restored.records[i].result) << restored.records[i].path;
    EXPECT_EQ(before, Snapshot(w));
    EXPECT_EQ(0u, w.platform.storeFiles().count(path));
}

// A new file an interrupted restore left beside the name: a plain one (read-only too) is
// replaced; a second name of another file, a link or a folder refuses that object with the
// reason, and the other file keeps its attributes.
TEST(RestoreRecord, ALeftoverTemporaryFileIsReplacedOnlyWhenItIsPlain) {
    enum class Leftover { Plain, ReadOnly, HardLinked, Link, Folder };
    const struct {
        Leftover leftover;
        const char* result;
    } cases[] = {
        {Leftover::Plain, "restored:"},
        {Leftover::ReadOnly, "restored:"},
        {Leftover::HardLinked, "failed:linked name"},
        {Leftover::Link, "failed:linked name"},
        {Leftover::Folder, "failed:already exists"},
    };
    for (const auto& c : cases) {
        BackupWorld w;
        w.fix();
        const std::string link = ModelWorld::desktop("Internet Explorer.lnk");
        const std::string temp = link + ".brenvik-restore";
        switch (c.leftover) {
            case Leftover::Plain:
                w.platform.addFile(temp);
                break;
            case Leftover::ReadOnly:
                w.platform.addFile(temp, kFileAttributeReadOnly);
                break;
            case Leftover::HardLinked:
                w.platform.addFile(temp, kFileAttributeReadOnly);
                w.platform.setLinkCount(temp, 2);
                break;
            case Leftover::Link:
                w.platform.addFile(temp);
                w.platform.setReparsePoint(temp);
                break;
            case Leftover::Folder:
                w.platform.addFolder(temp);
                break;
        }
        const CommandReport restored = w.restore();
        std::string desktop;
        for (const ResultRecord& r : restored.records) {
            if (r.path == link)
                desktop = std::string(OutcomeName(r.result)) + ":" + r.error;
        }
        const int n = static_cast<int>(c.leftover);
        EXPECT_EQ(c.result, desktop) << n;
        const bool replaced = desktop == "restored:";
        EXPECT_EQ(replaced, w.platform.shortcutTarget(link).has_value()) << n;
        EXPECT_EQ(!replaced, w.platform.hasFile(temp)) << n;
        if (c.leftover == Leftover::HardLinked) {
            EXPECT_TRUE(w.platform.hasFile(temp) &&
                        (w.platform.fileAttributes(temp) & kFileAttributeReadOnly))
                << "the other name's file keeps its read-only attribute";
        }
        if (!replaced) {
            EXPECT_NE(std::string::npos, Lines(w.platform).back().find(", restore interrupted"))
                << n;
        }
    }
}

}  // namespace
}  // namespace brenvik
