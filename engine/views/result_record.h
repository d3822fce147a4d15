// One result model for every command: the window's rows, the console's lines and the JSON
// report are views of the same records, so that they cannot disagree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/places/folder_listings.h"
#include "engine/ports/win_status.h"
#include "engine/vectors/finding.h"

namespace brenvik {

// Skipped: a place, folder, file or key the command could not examine (error says why).
// Ignored: a finding on the ignore list, listed by /scan /all only. NotSelected: a finding
// that /fix /only left alone. Neither counts as found or skipped for the exit code. CameBack:
// repaired, and found again by the look Fix takes before it ends (something restored it).
// ReportOnly: a finding its vector only reports; it counts apart from found, and as much.
enum class Outcome {
    Found,
    Fixed,
    Failed,
    Conflict,
    Restored,
    Skipped,
    Ignored,
    NotSelected,
    CameBack,
    ReportOnly
};

struct ResultRecord {
    std::string location;  // the row label ("Desktop", "Quick Launch", ...)
    std::string path;
    std::string rule;  // "" for the Internet Explorer rules
    std::string site;
    std::string target;
    std::string arguments;
    std::string action;  // what the repair does, or did
    Outcome result = Outcome::Found;
    // A few words; "" unless failed, in conflict, skipped, or came back with a suspect.
    std::string error;
    // FindingId; "" for a skipped place and a restored object. The initializer keeps records
    // brace-initialized without it free of -Wmissing-field-initializers.
    std::string id = std::string();
};

struct CommandReport {
    std::string command;   // "scan", "fix", "fixdesktop", "restore"
    std::string started;   // ISO 8601 UTC
    std::string finished;  // ISO 8601 UTC
    std::string computer;
    std::string user;
    std::string backup;  // the backup set's id; "" for none
    std::vector<ResultRecord> records;
};

struct Summary {
    int found = 0;  // every record of a scan or fix but the skipped, ignored, not selected
    int fixed = 0;
    int failed = 0;
    int conflicts = 0;
    int restored = 0;
    int skipped = 0;  // places that could not be examined
    int ignored = 0;
    int notSelected = 0;
    int cameBack = 0;
    int reported = 0;  // report-only findings
};

Summary Summarize(const std::vector<ResultRecord>& records);

// "found", "fixed", "failed", "conflict", "restored", "skipped", "ignored", "not selected",
// "came back", "report only".
const char* OutcomeName(Outcome outcome);
// "arguments", "replaced target", "fake link", "name space", "startup", "debugger", "user
// choice"; "" for None.
const char* RuleName(BrowserRule rule);
// A Win32 code in a few untranslated words ("access denied"); "error N" for the rest.
std::string ErrorWords(Status status);

// FNV-1a, 64 bits, over the bytes of text.
std::uint64_t Fnv1a64(const std::string& text);
// A finding's stable id: 12 lowercase hex digits of FNV-1a 64 over the vector (the row
// label and the rule), the object (path or key, ASCII case-folded) and the hijack's site,
// NUL between them. The same hijack on the same object keeps its id across scans and
// across a repair and its recreation; the target and arguments are left out because a
// repair changes them.
std::string FindingId(const std::string& location, const std::string& rule, const std::string& path,
                      const std::string& site);

// The FindingId of a finding reported under location.
std::string FindingIdOf(const std::string& location, const Finding& finding);

// A finding as a record of the given outcome, with the action its repair takes.
ResultRecord RecordOf(const std::string& location, const Finding& finding, Outcome result);

// A place the command could not examine, as a record of its own ("skipped", the reason as
// its error, no action).
ResultRecord SkippedRecord(const SkippedPlace& place);

// Whether the record's object is a file (a shortcut) that a folder window can show: false for
// a name space key, a skipped place and an object that is no finding.
bool NamesAFile(const ResultRecord& record);

// The window's Status cell: "" for a finding, "Fixed", "Failed: access denied",
// "Skipped: junction not followed", ...
std::string StatusCell(const ResultRecord& record);
// The window's Web Site cell: the site, or for a skipped place its path (it has no site, and
// the row must say which folder or key was not examined).
std::string SiteCell(const ResultRecord& record);
// One printed line: "fixed    Desktop  https://...  C:\...\a.lnk  (access denied)", then
// the id in brackets last ("  [0123456789ab]") so that the columns before it stay put.
std::string ConsoleLine(const ResultRecord& record);

}  // namespace brenvik
