#include "engine/commands/commands.h"

#include <optional>

#include "engine/backup/backup_manifest.h"
#include "engine/backup/backup_progress.h"
#include "engine/backup/backup_set.h"
#include "engine/commands/driver.h"
#include "engine/rules/browser_paths.h"
#include "engine/rules/browser_shortcut_rules.h"
#include "engine/vectors/task_vector.h"
#include "engine/vectors/vector_table.h"

namespace brenvik {
namespace {

constexpr const char* kLastSet = "last";
// The scan's progress range; a position above it shows the bar full.
constexpr int kScanRangeUpper = 4;
constexpr int kScanFinishedPosition = 100;

CommandReport Begin(HostPort& host, const char* command) {
    CommandReport report;
    report.command = command;
    report.started = IsoTime(host.now());
    report.computer = host.computerName();
    report.user = host.userName();
    return report;
}

SetHeader HeaderOf(const CommandReport& report) {
    return SetHeader{"", report.command, report.started, report.computer, report.user};
}

bool IsKeyFinding(const LocatedFinding& found) {
    return found.finding.rule == BrowserRule::NameSpace ||
           (found.finding.rule == BrowserRule::None && found.location == kNameSpaceLabel);
}

ChangedObject ObjectOf(const LocatedFinding& found) {
    if (found.location == kTaskLabel)
        return ChangedObject{ChangedObject::Kind::Task, kNoKey, found.finding.path};
    if (IsKeyFinding(found) || found.finding.value)
        return ChangedObject{ChangedObject::Kind::Key, found.finding.root, found.finding.path};
    return ChangedObject{ChangedObject::Kind::File, kNoKey, found.finding.path};
}

// What became of a finding's object: the change the broker kept for it (a replaced target
// whose browser is not registered is deleted, not rewritten) and its result, or the reason its
// repair was refused before anything was tried.
void SetResult(const BackupSet& set, const LocatedFinding& found, ResultRecord* record) {
    if (!found.finding.refused.empty()) {
        record->result = Outcome::Failed;
        record->error = found.finding.refused;
        return;
    }
    const BackupSet::Entry* entry = set.entryFor(ObjectOf(found));
    if (entry != nullptr)
        record->action = entry->action;
    Status status = entry == nullptr ? kResultPending : entry->result;
    if (entry == nullptr && set.writeError() != kErrorSuccess)
        status = set.writeError();
    record->result = status == kErrorSuccess ? Outcome::Fixed : Outcome::Failed;
    if (status != kErrorSuccess)
        record->error = ErrorWords(status);
}

std::string KeyText(const ChangedObject& object) {
    if (object.kind != ChangedObject::Kind::Key)
        return object.path;
    return std::string(RootName(object.root)) + "\\" + object.path;
}

ResultRecord ObjectRecordOf(const ChangedObject& object, const std::string& action) {
    ResultRecord record;
    switch (object.kind) {
        case ChangedObject::Kind::File:
            record.location = "File";
            break;
        case ChangedObject::Kind::Key:
            record.location = "Registry";
            break;
        case ChangedObject::Kind::Task:
            record.location = kTaskLabel;
            break;
    }
    record.path = KeyText(object);
    record.action = action;
    return record;
}

ResultRecord RestoreRecord(const ObjectRestore& done) {
    ResultRecord record = ObjectRecordOf(done.object->record.object, "restore");
    if (done.error != kErrorSuccess) {
        record.result = Outcome::Failed;
        record.error = ErrorWords(done.error);
        return record;
    }
    switch (done.step) {
        case RestoreStep::PutBack:
            record.result = Outcome::Restored;
            if (done.resumed)
                record.action = "restore: finishes an interrupted restore";
            break;
        case RestoreStep::AlreadyBack:
            record.result = Outcome::Restored;
            record.action = "none: as before the repair";
            break;
        case RestoreStep::Conflict:
            record.result = Outcome::Conflict;
            record.error = "changed since the repair";
            break;
    }
    return record;
}

// A command that changes things: nothing is changed unless a backup set could be begun
// (unbacked lists what is left undone, with the reason), and every change is kept in the set
// before it is made; reported turns the finished set into the report's records.
template <typename Unbacked, typename Repair, typename Reported>
CommandReport RepairCommand(CommandHost& host, const char* name, Unbacked unbacked, Repair repair,
                            Reported reported) {
    const UtcTime started = host.ports.host.now();
    CommandReport report = Begin(host.ports.host, name);
    Journal journal(host.ports.store);
    AccessBroker broker(host.ports, journal, host.stop);
    UseDeclaredPlaces(broker, host.ports);
    BackupSet set(host.ports.store, host.ports.content);
    const Status began = set.begin(HeaderOf(report), started);
    if (began != kErrorSuccess) {
        unbacked(broker, "no backup: " + ErrorWords(began), report.records);
        report.finished = IsoTime(host.ports.host.now());
        return report;
    }
    report.backup = set.id();
    broker.setBackupSink(&set);
    const LocatedFindings repaired = repair(broker);
    broker.setBackupSink(nullptr);
    set.finish(broker, host.ports.host.now());
    reported(set, repaired, report.records);
    report.finished = IsoTime(host.ports.host.now());
    return report;
}

std::string IdOf(const LocatedFinding& found) {
    return FindingIdOf(found.location, found.finding);
}

// How a scan lists a finding that is not ignored, and Fix one it does not repair.
Outcome Listed(const LocatedFinding& found, Outcome otherwise) {
    return found.finding.reportOnly ? Outcome::ReportOnly : otherwise;
}

bool IsIgnored(const IgnoreList* ignored, const LocatedFinding& found) {
    return ignored != nullptr && ignored->contains(IdOf(found));
}

// How long Fix gives a guardian (a task, a running program) to put back what it repaired
// before it looks again: one that watches the object acts within moments.
constexpr int kGuardianWaitMs = 1000;
constexpr int kGuardianWaitSliceMs = 100;

void WaitForGuardians(CommandHost& host) {
    for (int waited = 0; waited < kGuardianWaitMs; waited += kGuardianWaitSliceMs) {
        if (host.stop != nullptr && host.stop->requested())
            return;
        host.ports.host.pause(kGuardianWaitSliceMs);
    }
}

// The startup entries and tasks the same Fix found: removed now, they may have run before.
std::string StartupSuspects(const std::vector<ResultRecord>& records) {
    std::string suspects;
    int count = 0;
    for (const ResultRecord& record : records) {
        if (record.rule == RuleName(BrowserRule::Startup) && count++ == 0)
            suspects = record.path;
    }
    if (count > 1)
        suspects += " and " + std::to_string(count - 1) + " more";
    return suspects;
}

// A running process whose image is the launcher a replaced target ran instead of the browser.
std::string RunningSuspect(const ResultRecord& record,
                           const std::vector<RunningProgram>& programs) {
    if (record.rule != RuleName(BrowserRule::ReplacedTarget))
        return "";
    const std::string image = LauncherImageName(record.site);
    if (image.empty())
        return "";
    for (const RunningProgram& program : programs) {
        if (PathFileName(NormalizedPath(program.image)) == image)
            return "the running " + image + " (process " + std::to_string(program.id) + ")";
    }
    return "";
}

// What came back was put back by something that runs: the rows that came back name what the
// same Fix found starting at logon, and a running launcher of theirs.
void NameSuspects(HostPort& host, std::vector<ResultRecord>* records) {
    const std::string startup = StartupSuspects(*records);
    std::optional<std::vector<RunningProgram>> programs;  // listed once, when one came back
    for (ResultRecord& record : *records) {
        if (record.result != Outcome::CameBack)
            continue;
        if (!programs)
            programs = host.runningPrograms();
        std::string suspects = startup;
        const std::string running = RunningSuspect(record, *programs);
        if (!running.empty())
            suspects += (suspects.empty() ? "" : " or ") + running;
        if (!suspects.empty())
            record.error = "perhaps put back by " + suspects;
    }
}

}  // namespace

CommandReport ScanCommand(CommandHost& host,
                          const std::function<void(const ResultRecord&)>& recorded,
                          const IgnoreList* ignored, bool all) {
    CommandReport report = Begin(host.ports.host, "scan");
    Journal journal(host.ports.store);
    AccessBroker broker(host.ports, journal, host.stop);
    UseDeclaredPlaces(broker, host.ports);
    const auto add = [&report, &recorded](ResultRecord record) {
        report.records.push_back(std::move(record));
        if (recorded)
            recorded(report.records.back());
    };
    // In the order of the window's rows: each scanner's findings, then what it passed over.
    ScanPlaces(
        broker,
        [&add, ignored, all](const LocatedFinding& found) {
            if (!IsIgnored(ignored, found))
                add(RecordOf(found.location, found.finding, Listed(found, Outcome::Found)));
            else if (all)
                add(RecordOf(found.location, found.finding, Outcome::Ignored));
        },
        [&add](const SkippedPlace& place) { add(SkippedRecord(place)); });
    report.finished = IsoTime(host.ports.host.now());
    return report;
}

bool FixSelection::selects(const std::string& id) const {
    return (!only || only->count(id) != 0) && except.count(id) == 0;
}

CommandReport ScanIntoView(CommandHost& host, ReportView& view, const IgnoreList* ignored,
                           bool all) {
    view.SetPos(0);
    view.SetRange(0, kScanRangeUpper);
    CommandReport report = ScanCommand(
        host, [&view](const ResultRecord& record) { view.AddRow(record); }, ignored, all);
    view.SetPos(kScanFinishedPosition);
    view.NotifyFinished();
    view.SetStatusText("");
    return report;
}

CommandReport FixCommand(CommandHost& host, const IgnoreList* ignored,
                         const FixSelection* selection) {
    // What the repair could not examine follows its findings: nothing there was repaired.
    SkippedPlaces skipped;
    LocatedFindings held;
    std::set<std::string> again;  // the ids the look after the repairs found
    const auto selected = [selection](const LocatedFinding& found) {
        return selection == nullptr || selection->selects(IdOf(found));
    };
    const auto repairs = [ignored, selected](const LocatedFinding& found) {
        return !found.finding.reportOnly && !IsIgnored(ignored, found) && selected(found);
    };
    return RepairCommand(
        host, "fix",
        [ignored, selected](AccessBroker& broker, const std::string& error,
                            std::vector<ResultRecord>& records) {
            SkippedPlaces passed;
            for (const LocatedFinding& found :
                 ScanPlaces(broker, nullptr,
                            [&passed](const SkippedPlace& place) { passed.push_back(place); })) {
                if (IsIgnored(ignored, found))
                    continue;
                if (found.finding.reportOnly || !selected(found)) {
                    records.push_back(RecordOf(found.location, found.finding,
                                               Listed(found, Outcome::NotSelected)));
                    continue;
                }
                ResultRecord record = RecordOf(found.location, found.finding, Outcome::Failed);
                record.error = error;
                records.push_back(std::move(record));
            }
            for (const SkippedPlace& place : passed) records.push_back(SkippedRecord(place));
        },
        [&host, &skipped, &repairs, &held, &again](AccessBroker& broker) {
            LocatedFindings repaired = FixPlaces(broker, &skipped, repairs, &held);
            // A guardian (a task, a running program) may put a hijack back as soon as it goes:
            // the places are looked at once more before the command ends.
            if (!repaired.empty()) {
                WaitForGuardians(host);
                for (const LocatedFinding& found : ScanPlaces(broker)) again.insert(IdOf(found));
            }
            return repaired;
        },
        [&host, &skipped, &held, &again, ignored](const BackupSet& set,
                                                  const LocatedFindings& repaired,
                                                  std::vector<ResultRecord>& records) {
            for (const LocatedFinding& found : repaired) {
                ResultRecord record = RecordOf(found.location, found.finding, Outcome::Fixed);
                SetResult(set, found, &record);
                if (record.result == Outcome::Fixed && again.count(record.id) != 0)
                    record.result = Outcome::CameBack;
                records.push_back(std::move(record));
            }
            for (const LocatedFinding& found : held) {
                if (!IsIgnored(ignored, found))
                    records.push_back(RecordOf(found.location, found.finding,
                                               Listed(found, Outcome::NotSelected)));
            }
            for (const SkippedPlace& place : skipped) records.push_back(SkippedRecord(place));
            NameSuspects(host.ports.host, &records);
        });
}

ListChange IgnoreFindings(CommandHost& host, const std::vector<std::string>& ids) {
    ListChange change;
    IgnoreList list;
    change.refused = LoadIgnoreList(host.ports.store, &list);
    if (!change.refused.empty())
        return change;
    const CommandReport scan = ScanCommand(host, nullptr, &list);
    for (const std::string& id : ids) {
        const ResultRecord* hit = nullptr;
        for (const ResultRecord& record : scan.records) {
            if (record.result == Outcome::Found && record.id == id)
                hit = &record;
        }
        if (hit == nullptr) {
            change.unknown.push_back(id);
            continue;
        }
        if (list.contains(id))
            continue;  // given twice
        const IgnoreEntry entry{id,        hit->location, hit->rule,   hit->path,
                                hit->site, scan.user,     scan.started};
        list.entries.push_back(entry);
        change.changed.push_back(entry);
    }
    if (!change.unknown.empty()) {
        change.changed.clear();
        return change;
    }
    change.error = SaveIgnoreList(host.ports.store, list);
    return change;
}

ListChange UnignoreFindings(StorePort& store, const std::vector<std::string>& ids) {
    ListChange change;
    IgnoreList list;
    change.refused = LoadIgnoreList(store, &list);
    if (!change.refused.empty())
        return change;
    for (const std::string& id : ids) {
        if (!list.contains(id))
            change.unknown.push_back(id);
    }
    if (!change.unknown.empty())
        return change;
    IgnoreList kept;
    for (const IgnoreEntry& entry : list.entries) {
        bool named = false;
        for (const std::string& id : ids) named = named || entry.id == id;
        (named ? change.changed : kept.entries).push_back(entry);
    }
    change.error = SaveIgnoreList(store, kept);
    return change;
}

std::vector<std::string> UnknownFindings(CommandHost& host, const IgnoreList& ignored,
                                         const std::vector<std::string>& only) {
    const CommandReport scan = ScanCommand(host, nullptr, &ignored);
    std::vector<std::string> unknown;
    for (const std::string& id : only) {
        bool listed = false;
        for (const ResultRecord& record : scan.records)
            listed = listed || (record.result == Outcome::Found && record.id == id);
        if (!listed)
            unknown.push_back(id);
    }
    return unknown;
}

CommandReport FixDesktopCommand(CommandHost& host) {
    return RepairCommand(
        host, "fixdesktop",
        [](AccessBroker&, const std::string& error, std::vector<ResultRecord>& records) {
            ResultRecord record;
            record.location = "Desktop icons";
            record.action = "restore desktop icons";
            record.result = Outcome::Failed;
            record.error = error;
            records.push_back(std::move(record));
        },
        [](AccessBroker& broker) {
            FixDesktopWith(broker);
            return LocatedFindings();
        },
        [](const BackupSet& set, const LocatedFindings&, std::vector<ResultRecord>& records) {
            for (const BackupSet::Entry& entry : set.entries()) {
                ResultRecord record = ObjectRecordOf(entry.object, entry.action);
                record.location = "Desktop icons";
                record.result = entry.result == kErrorSuccess ? Outcome::Fixed : Outcome::Failed;
                if (entry.result != kErrorSuccess)
                    record.error = ErrorWords(entry.result);
                records.push_back(std::move(record));
            }
        });
}

RecoveryResult RecoverAtStart(Ports& ports) {
    return RecoverJournal(ports, [&ports] { return DeclaredPlaces(ports); });
}

CommandReport RestoreCommand(CommandHost& host, const std::string& id, bool* found) {
    const RestorePlaces places = CurrentRestorePlaces(host.ports, DeclaredPlaces(host.ports));
    CommandReport report = Begin(host.ports.host, "restore");
    *found = false;
    std::vector<std::string> ids;
    bool trusted = false;
    const Status listed = ListBackupSets(host.ports.store, &ids, &trusted);
    std::string wanted = id;
    bool known = false;
    for (const std::string& each : ids) known = known || each == wanted;
    StoredSet set;
    Status read = kErrorInvalidHandle;
    if (listed == kErrorSuccess && trusted) {
        if (wanted == kLastSet) {
            // The newest set this program wrote: a header it did not make is none of its.
            for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
                read = ReadBackupSet(host.ports.store, *it, &set);
                wanted = *it;
                known = true;
                if (!set.foreignHeader)
                    break;
            }
        } else if (known) {
            read = ReadBackupSet(host.ports.store, wanted, &set);
        }
    } else if (wanted == kLastSet && !ids.empty()) {
        wanted = ids.back();
        known = true;
    }
    if (listed != kErrorSuccess || !known) {
        report.finished = IsoTime(host.ports.host.now());
        return report;
    }
    *found = true;
    report.backup = wanted;
    if (!trusted || read != kErrorSuccess) {
        // Others could have written these records: acting on them would let them change
        // any file or key with this program's rights. A damaged set is not half applied.
        ResultRecord record;
        record.location = "Backups";
        record.action = "restore";
        record.result = Outcome::Failed;
        record.error = !trusted ? "backup folder not trusted" : "backup set damaged: " + set.damage;
        report.records.push_back(std::move(record));
        report.finished = IsoTime(host.ports.host.now());
        return report;
    }
    if (set.progressError != kErrorSuccess) {
        // Passed over as any refused store file is: no object is finished on its word.
        ResultRecord record;
        record.location = "Backups";
        record.path = ProgressPath(set.header.id);
        record.action = "restore";
        record.result = Outcome::Skipped;
        record.error = "restore record " + StoreErrorWords(set.progressError) + ", ignored";
        report.records.push_back(std::move(record));
    }
    Journal journal(host.ports.store);
    AccessBroker broker(host.ports, journal, host.stop);
    broker.findFilePlacesWith([&places] { return places.places.fileFolders(); });
    for (const ObjectRestore& done : RestoreSet(broker, host.ports, set, places))
        report.records.push_back(RestoreRecord(done));
    report.finished = IsoTime(host.ports.host.now());
    return report;
}

Status ListSets(StorePort& store, std::vector<SetListing>* sets) {
    sets->clear();
    std::vector<std::string> ids;
    bool trusted = false;
    if (Status s = ListBackupSets(store, &ids, &trusted))
        return s;
    for (const std::string& id : ids) {
        SetListing listing;
        listing.header.id = id;
        StoredSet set;
        if (!trusted) {
            listing.damage = "backup folder not trusted, moved aside";
        } else if (ReadBackupSet(store, id, &set) != kErrorSuccess) {
            listing.damage = set.damage;
        } else {
            listing.header = set.header;
            listing.complete = !set.finished.empty();
            listing.objects = static_cast<int>(set.objects.size());
            for (const StoredObject& object : set.objects) {
                if (!object.hasResult || object.result.error != kErrorSuccess)
                    ++listing.failed;
            }
            if (set.progressError != kErrorSuccess)
                listing.restore = "restore record " + StoreErrorWords(set.progressError);
            else if (set.restoreUnderway())
                listing.restore = "restore interrupted";
        }
        sets->push_back(std::move(listing));
    }
    return kErrorSuccess;
}

std::string SetListingLine(const SetListing& set) {
    if (!set.damage.empty())
        return set.header.id + "  damaged: " + set.damage;
    std::string line = set.header.id + "  " + set.header.command + "  " + set.header.started +
                       "  " + std::to_string(set.objects) + " objects, " +
                       std::to_string(set.failed) + " failed";
    if (!set.complete)
        line += ", incomplete";
    if (!set.restore.empty())
        line += ", " + set.restore;
    return line;
}

}  // namespace brenvik
