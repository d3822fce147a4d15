// The commands every front end runs (the window, the console, brenvik.exe with switches):
// each returns its records; Fix and Fix Desktop keep a backup set of what they change.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "brenvik_version.h"
#include "engine/backup/backup_restore.h"
#include "engine/base/stop_signal.h"
#include "engine/change/recovery.h"
#include "engine/commands/ignore_list.h"
#include "engine/ports/ports.h"
#include "engine/views/report_view.h"
#include "engine/views/result_record.h"

namespace brenvik {

// The project's VERSION, as the reports and the version resources carry it.
constexpr const char* kToolVersion = BRENVIK_VERSION_STRING;

struct CommandHost {
    Ports& ports;
    const StopSignal* stop = nullptr;
};

// Each record also goes to recorded, when given, as soon as it is known: a place's findings
// before the next place is scanned.
// With ignored given, a finding on it is left out, or with all listed as "ignored".
CommandReport ScanCommand(CommandHost& host,
                          const std::function<void(const ResultRecord&)>& recorded = nullptr,
                          const IgnoreList* ignored = nullptr, bool all = false);
// The window's Scan: the progress bar reset, ScanCommand's records as rows, the bar full, the
// dialog told that the scan ended, the status line cleared; a finding on ignored is left out,
// or with all listed "ignored".
CommandReport ScanIntoView(CommandHost& host, ReportView& view, const IgnoreList* ignored = nullptr,
                           bool all = false);
// Which findings Fix repairs: with only, just those ids (/fix /only); never those in except (the
// rows the window's user unchecked), so that a finding no earlier scan listed is repaired.
struct FixSelection {
    std::optional<std::set<std::string>> only;
    std::set<std::string> except;
    bool selects(const std::string& id) const;
};

// Repairs nothing when the backup set cannot be started: each finding is then "failed".
// A finding on ignored is never repaired nor listed; one the selection does not select is left
// alone and listed "not selected".
CommandReport FixCommand(CommandHost& host, const IgnoreList* ignored = nullptr,
                         const FixSelection* selection = nullptr);
CommandReport FixDesktopCommand(CommandHost& host);

// What /ignore and /unignore did. Nothing is written when the list was refused or an id is
// unknown; a refused list is never overwritten (it is left for the administrator to remove).
struct ListChange {
    std::string refused;               // why the list on disk was refused; "" when it loaded
    std::vector<std::string> unknown;  // the ids given that name nothing
    std::string error;                 // why the new list could not be written
    std::vector<IgnoreEntry> changed;  // the entries added or removed
};
// Adds the findings of a fresh scan with those ids (an id is unknown when that scan does not
// list it: an ignored finding is not listed, so ignoring it again is unknown too).
ListChange IgnoreFindings(CommandHost& host, const std::vector<std::string>& ids);
ListChange UnignoreFindings(StorePort& store, const std::vector<std::string>& ids);
// The ids of only that a fresh scan does not list (an ignored finding is not listed).
std::vector<std::string> UnknownFindings(CommandHost& host, const IgnoreList& ignored,
                                         const std::vector<std::string>& only);
// The start-up recovery over the places the vectors declare.
RecoveryResult RecoverAtStart(Ports& ports);
// id: a set's id, or "last" for the newest. found is false when there is no such set.
CommandReport RestoreCommand(CommandHost& host, const std::string& id, bool* found);

struct SetListing {
    SetHeader header;  // only its id when the set is damaged
    bool complete = false;
    int objects = 0;
    int failed = 0;      // objects whose change failed or never happened
    std::string damage;  // why the set cannot be read or restored; empty when it can
    // "restore interrupted" when a restore began an object and never finished it, or why its
    // restore record was refused; empty otherwise.
    std::string restore;
};

// The sets, oldest first, each that cannot be read listed with the reason. The sets of a
// folder others could have written are all listed so (that folder is moved aside).
Status ListSets(StorePort& store, std::vector<SetListing>* sets);
// "20261208T190648Z  fix  2026-12-08T19:06:48Z  3 objects, 0 failed", or
// "20261208T190648Z  damaged: manifest: not made by this program"; ", restore interrupted"
// ends the line of a set whose restore did not finish.
std::string SetListingLine(const SetListing& set);

}  // namespace brenvik
