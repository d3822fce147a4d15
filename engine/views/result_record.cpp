#include "engine/views/result_record.h"

#include "engine/backup/backup_manifest.h"
#include "engine/base/text_rules.h"
#include "engine/vectors/name_space_scanner.h"
#include "engine/vectors/task_vector.h"

namespace brenvik {
namespace {

struct ErrorText {
    Status status;
    const char* words;
};

constexpr ErrorText kErrorTexts[] = {
    {kErrorFileNotFound, "not found"},
    {kErrorPathNotFound, "path not found"},
    {kErrorAccessDenied, "access denied"},
    {kErrorInvalidData, "invalid data"},
    {kErrorFileExists, "already exists"},
    {kErrorKeyDeleted, "key deleted"},
    {kErrorCantAccessFile, "linked name"},
    {kErrorNotSupported, "merged class view: hive unknown"},
    {kErrorCancelled, "stopped"},
    {kErrorAlreadyExists, "already exists"},
    {kErrorTaskChanged, "changed since the scan"},
    {kErrorTaskNotAsKept, "registered without its actions"},
    {kErrorInvalidDatatype, "not text"},
    {32, "in use"},      // ERROR_SHARING_VIOLATION
    {112, "disk full"},  // ERROR_DISK_FULL
    {-1, "not done"},    // a change kept for but never made
};

// Each outcome's wire name, its Status cell (followed by the record's error where the
// outcome has one), and the summary count a record of it adds to (none for Found: the found
// are what the other counts leave).
struct OutcomeRow {
    Outcome outcome;
    const char* name;
    const char* cell;
    bool cellError;
    int Summary::*count;
};

constexpr OutcomeRow kOutcomes[] = {
    {Outcome::Found, "found", "", false, nullptr},
    {Outcome::Fixed, "fixed", "Fixed", false, &Summary::fixed},
    {Outcome::Failed, "failed", "Failed", true, &Summary::failed},
    {Outcome::Conflict, "conflict", "Conflict", true, &Summary::conflicts},
    {Outcome::Restored, "restored", "Restored", false, &Summary::restored},
    {Outcome::Skipped, "skipped", "Skipped", true, &Summary::skipped},
    {Outcome::Ignored, "ignored", "Ignored", false, &Summary::ignored},
    {Outcome::NotSelected, "not selected", "Not selected", false, &Summary::notSelected},
    {Outcome::CameBack, "came back", "Came back", true, &Summary::cameBack},
    {Outcome::ReportOnly, "report only", "Report only", false, &Summary::reported},
};

const OutcomeRow* RowOf(Outcome outcome) {
    for (const OutcomeRow& row : kOutcomes) {
        if (row.outcome == outcome)
            return &row;
    }
    return nullptr;
}

// Each browser rule's wire name, and the action its repair takes (none for None: the
// Internet Explorer rules' action follows from the finding's place).
struct RuleRow {
    BrowserRule rule;
    const char* name;
    const char* action;
};

constexpr RuleRow kRules[] = {
    {BrowserRule::None, "", nullptr},
    {BrowserRule::Arguments, "arguments", "clear arguments"},
    {BrowserRule::ReplacedTarget, "replaced target", "rewrite target"},
    {BrowserRule::FakeLink, "fake link", "delete file"},
    {BrowserRule::NameSpace, "name space", "delete key tree"},
    {BrowserRule::Startup, "startup", "delete value"},
    {BrowserRule::Debugger, "debugger", "delete value"},
    {BrowserRule::UserChoice, "user choice", "none: choose the browser in Settings"},
};

const RuleRow* RowOf(BrowserRule rule) {
    for (const RuleRow& row : kRules) {
        if (row.rule == rule)
            return &row;
    }
    return nullptr;
}

std::string Action(const Finding& finding, const std::string& location) {
    // A scheduled task's finding is the whole task.
    if (finding.rule == BrowserRule::Startup && location == kTaskLabel)
        return "delete task";
    const RuleRow* row = RowOf(finding.rule);
    if (row != nullptr && row->action != nullptr)
        return row->action;
    if (location == "Quick Launch")
        return "clear arguments";
    if (location == "Desktop NameSpace")
        return "delete key tree";
    return "delete file";
}

// A value names its root too: the same value under the machine's and the user's key are two.
// The default value is its key's.
std::string ObjectText(const Finding& finding) {
    if (!finding.value)
        return finding.path;
    const std::string key = std::string(RootName(finding.root)) + "\\" + finding.path;
    return finding.value->empty() ? key : key + "\\" + *finding.value;
}

}  // namespace

Summary Summarize(const std::vector<ResultRecord>& records) {
    Summary summary;
    for (const ResultRecord& record : records) {
        const OutcomeRow* row = RowOf(record.result);
        if (row != nullptr && row->count != nullptr)
            ++(summary.*row->count);
    }
    summary.found = static_cast<int>(records.size()) - summary.skipped - summary.ignored -
                    summary.notSelected - summary.reported;
    return summary;
}

const char* OutcomeName(Outcome outcome) {
    const OutcomeRow* row = RowOf(outcome);
    return row != nullptr ? row->name : "";
}

const char* RuleName(BrowserRule rule) {
    const RuleRow* row = RowOf(rule);
    return row != nullptr ? row->name : "";
}

std::string ErrorWords(Status status) {
    for (const ErrorText& text : kErrorTexts) {
        if (text.status == status)
            return text.words;
    }
    return "error " + std::to_string(status);
}

std::uint64_t Fnv1a64(const std::string& text) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::string FindingId(const std::string& location, const std::string& rule, const std::string& path,
                      const std::string& site) {
    std::string folded = path;
    LowercaseAscii(folded);
    std::string text = location;
    text += '\0';
    text += rule;
    text += '\0';
    text += folded;
    text += '\0';
    text += site;
    const std::uint64_t hash = Fnv1a64(text);
    static const char kHex[] = "0123456789abcdef";
    std::string id(12, '0');
    // The top 48 bits: FNV-1a mixes the last bytes into the high bits best.
    for (int i = 0; i < 12; ++i) id[i] = kHex[(hash >> (60 - 4 * i)) & 0xF];
    return id;
}

std::string FindingIdOf(const std::string& location, const Finding& finding) {
    return FindingId(location, RuleName(finding.rule), ObjectText(finding), finding.site);
}

ResultRecord RecordOf(const std::string& location, const Finding& finding, Outcome result) {
    ResultRecord record;
    record.location = location;
    record.path = ObjectText(finding);
    record.rule = RuleName(finding.rule);
    record.site = finding.site;
    record.target = finding.target;
    record.arguments = finding.arguments;
    record.action = Action(finding, location);
    record.result = result;
    record.id = FindingIdOf(location, finding);
    return record;
}

ResultRecord SkippedRecord(const SkippedPlace& place) {
    ResultRecord record;
    record.location = place.location;
    record.path = place.path;
    record.result = Outcome::Skipped;
    record.error = place.reason;
    return record;
}

bool NamesAFile(const ResultRecord& record) {
    // As Fix tells a key from a file: the rule, or for the old icons their row label.
    const bool key = record.rule == RuleName(BrowserRule::NameSpace) ||
                     (record.rule.empty() && record.location == kNameSpaceLabel);
    return !record.id.empty() && !record.path.empty() && !key && record.location != kTaskLabel;
}

std::string StatusCell(const ResultRecord& record) {
    const OutcomeRow* row = RowOf(record.result);
    if (row == nullptr)
        return std::string();
    if (row->cellError && !record.error.empty())
        return std::string(row->cell) + ": " + record.error;
    return row->cell;
}

std::string SiteCell(const ResultRecord& record) {
    return record.result == Outcome::Skipped ? record.path : record.site;
}

std::string ConsoleLine(const ResultRecord& record) {
    std::string line = OutcomeName(record.result);
    // "not selected" is longer than the column: it keeps two spaces instead.
    line.resize(line.size() < 10 ? 10 : line.size() + 2, ' ');
    line += record.location;
    if (!record.site.empty())
        line += "  " + record.site;
    line += "  " + record.path;
    if (!record.error.empty())
        line += "  (" + record.error + ")";
    if (!record.id.empty())
        line += "  [" + record.id + "]";
    return line;
}

}  // namespace brenvik
