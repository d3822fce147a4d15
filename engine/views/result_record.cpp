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

std::string Action(const Finding& finding, const std::string& location) {
    switch (finding.rule) {
        case BrowserRule::Arguments:
            return "clear arguments";
        case BrowserRule::ReplacedTarget:
            return "rewrite target";
        case BrowserRule::FakeLink:
            return "delete file";
        case BrowserRule::NameSpace:
            return "delete key tree";
        case BrowserRule::Startup:
            return location == kTaskLabel ? "delete task" : "delete value";
        case BrowserRule::Debugger:
            return "delete value";
        case BrowserRule::UserChoice:
            return "none: choose the browser in Settings";
        case BrowserRule::None:
            break;
    }
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
        switch (record.result) {
            case Outcome::Found:
                break;
            case Outcome::Fixed:
                ++summary.fixed;
                break;
            case Outcome::Failed:
                ++summary.failed;
                break;
            case Outcome::Conflict:
                ++summary.conflicts;
                break;
            case Outcome::Restored:
                ++summary.restored;
                break;
            case Outcome::Skipped:
                ++summary.skipped;
                break;
            case Outcome::Ignored:
                ++summary.ignored;
                break;
            case Outcome::NotSelected:
                ++summary.notSelected;
                break;
            case Outcome::CameBack:
                ++summary.cameBack;
                break;
            case Outcome::ReportOnly:
                ++summary.reported;
                break;
        }
    }
    summary.found = static_cast<int>(records.size()) - summary.skipped - summary.ignored -
                    summary.notSelected - summary.reported;
    return summary;
}

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Found:
            return "found";
        case Outcome::Fixed:
            return "fixed";
        case Outcome::Failed:
            return "failed";
        case Outcome::Conflict:
            return "conflict";
        case Outcome::Restored:
            return "restored";
        case Outcome::Skipped:
            return "skipped";
        case Outcome::Ignored:
            return "ignored";
        case Outcome::NotSelected:
            return "not selected";
        case Outcome::CameBack:
            return "came back";
        case Outcome::ReportOnly:
            return "report only";
    }
    return "";
}

const char* RuleName(BrowserRule rule) {
    switch (rule) {
        case BrowserRule::None:
            return "";
        case BrowserRule::Arguments:
            return "arguments";
        case BrowserRule::ReplacedTarget:
            return "replaced target";
        case BrowserRule::FakeLink:
            return "fake link";
        case BrowserRule::NameSpace:
            return "name space";
        case BrowserRule::Startup:
            return "startup";
        case BrowserRule::Debugger:
            return "debugger";
        case BrowserRule::UserChoice:
            return "user choice";
    }
    return "";
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
    switch (record.result) {
        case Outcome::Found:
            return std::string();
        case Outcome::Fixed:
            return "Fixed";
        case Outcome::Restored:
            return "Restored";
        case Outcome::Failed:
            return record.error.empty() ? "Failed" : "Failed: " + record.error;
        case Outcome::Conflict:
            return record.error.empty() ? "Conflict" : "Conflict: " + record.error;
        case Outcome::Skipped:
            return record.error.empty() ? "Skipped" : "Skipped: " + record.error;
        case Outcome::Ignored:
            return "Ignored";
        case Outcome::NotSelected:
            return "Not selected";
        case Outcome::CameBack:
            return record.error.empty() ? "Came back" : "Came back: " + record.error;
        case Outcome::ReportOnly:
            return "Report only";
    }
    return std::string();
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
