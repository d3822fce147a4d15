#include "console/console_commands.h"

#include <windows.h>
#include <shellapi.h>

#include "console/report_file.h"
#include "engine/commands/command_line.h"
#include "engine/commands/commands.h"
#include "engine/views/json_report.h"
#include "platform/win32/command_lock.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

// A second command waits this long for the first to end, then gives up.
constexpr DWORD kWaitForOtherMs = 60 * 1000;

void Print(ConsoleOutput* out, const std::string& text) {
    if (out != nullptr)
        out->print(text);
}

int Finish(LineCommand kind, const CommandReport& report, const std::string& reportPath,
           ConsoleOutput* out) {
    for (const ResultRecord& record : report.records) Print(out, ConsoleLine(record) + "\n");
    const Summary summary = Summarize(report.records);
    std::string line = std::to_string(summary.found) + " found, " + std::to_string(summary.fixed) +
                       " fixed, " + std::to_string(summary.failed) + " failed";
    if (kind == LineCommand::Restore)
        line = std::to_string(summary.restored) + " restored, " +
               std::to_string(summary.conflicts) + " conflicts, " + std::to_string(summary.failed) +
               " failed";
    if (summary.skipped > 0)
        line += ", " + std::to_string(summary.skipped) + " skipped";
    if (summary.ignored > 0)
        line += ", " + std::to_string(summary.ignored) + " ignored";
    if (summary.notSelected > 0)
        line += ", " + std::to_string(summary.notSelected) + " not selected";
    if (!report.backup.empty())
        line += "; backup " + report.backup;
    Print(out, line + "\n");
    std::string why;
    if (!reportPath.empty() &&
        !WriteReportFile(reportPath, ReportJson(report, kToolVersion), &why)) {
        Print(out, "The report could not be written to " + reportPath + ": " + why + ".\n");
        return kExitUsage;
    }
    return ExitCode(kind, summary);
}

int ListBackups(StorePort& store, ConsoleOutput* out) {
    std::vector<SetListing> sets;
    if (const Status s = ListSets(store, &sets)) {
        Print(out, "The backup folder cannot be read: " + StoreErrorWords(s) + ".\n");
        return kExitNone;
    }
    if (sets.empty())
        Print(out, "No backup sets.\n");
    for (const SetListing& set : sets) Print(out, SetListingLine(set) + "\n");
    return kExitNone;
}

std::string Joined(const std::vector<std::string>& ids) {
    std::string text;
    for (const std::string& id : ids) text += (text.empty() ? "" : ", ") + id;
    return text;
}

std::string EntryLine(const IgnoreEntry& entry) {
    std::string line = entry.id + "  " + entry.location;
    if (!entry.site.empty())
        line += "  " + entry.site;
    return line + "  " + entry.path + "  (" + entry.user + ", " + entry.added + ")";
}

int ChangeList(const ListChange& change, const char* done, ConsoleOutput* out) {
    if (!change.refused.empty()) {
        Print(out, "The ignore list was refused and is left as it is: " + change.refused + ".\n");
        return kExitPartly;
    }
    if (!change.unknown.empty()) {
        Print(out, "Unknown finding ids, nothing changed: " + Joined(change.unknown) + ".\n");
        return kExitUsage;
    }
    if (!change.error.empty()) {
        Print(out, "The ignore list could not be written: " + change.error + ".\n");
        return kExitPartly;
    }
    for (const IgnoreEntry& entry : change.changed)
        Print(out, std::string(done) + "  " + EntryLine(entry) + "\n");
    return kExitDone;
}

int ListIgnored(StorePort& store, ConsoleOutput* out) {
    IgnoreList list;
    const std::string refused = LoadIgnoreList(store, &list);
    if (!refused.empty()) {
        Print(out, "The ignore list was refused: " + refused + ".\n");
        return kExitNone;
    }
    if (list.entries.empty())
        Print(out, "No ignored findings.\n");
    for (const IgnoreEntry& entry : list.entries) Print(out, EntryLine(entry) + "\n");
    return kExitNone;
}

// The list Scan and Fix go by: a refused one ignores nothing, and says so.
IgnoreList LoadedList(StorePort& store, ConsoleOutput* out) {
    IgnoreList list;
    const std::string refused = LoadIgnoreList(store, &list);
    if (!refused.empty())
        Print(out, "The ignore list was refused, nothing is ignored: " + refused + ".\n");
    return list;
}

}  // namespace

std::vector<std::string> ProcessArguments() {
    int count = 0;
    UniqueHlocal owned;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    owned.reset(argv);
    std::vector<std::string> args;
    for (int i = 1; argv != nullptr && i < count; ++i) args.push_back(WideToUtf8(argv[i]));
    return args;
}

int RunCommandLine(const std::vector<std::string>& args, ConsoleOutput* out) {
    const CommandLine line = ParseCommandLine(args);
    if (line.kind == LineCommand::Usage || line.kind == LineCommand::Window) {
        if (!line.error.empty())
            Print(out, line.error + "\n");
        Print(out, UsageText());
        return kExitUsage;
    }
    CommandLock lock(kWaitForOtherMs);
    if (!lock.held()) {
        Print(out, "Another Brenvik command is running; try again when it has finished.\n");
        return kExitBusy;
    }
    static Win32Platform platform;
    Ports ports = platform.ports();
    CommandHost host{ports};
    // Before anything else: put back what a run that died left unlocked.
    RecoverAtStart(ports);

    switch (line.kind) {
        case LineCommand::Scan: {
            const IgnoreList ignored = LoadedList(ports.store, out);
            return Finish(line.kind, ScanCommand(host, nullptr, &ignored, line.all),
                          line.reportPath, out);
        }
        case LineCommand::Fix: {
            const IgnoreList ignored = LoadedList(ports.store, out);
            if (!line.only)
                return Finish(line.kind, FixCommand(host, &ignored), line.reportPath, out);
            const std::vector<std::string> unknown = UnknownFindings(host, ignored, line.ids);
            if (!unknown.empty()) {
                Print(out, "Unknown finding ids, nothing repaired: " + Joined(unknown) + ".\n");
                return kExitUsage;
            }
            FixSelection only;
            only.only.emplace(line.ids.begin(), line.ids.end());
            return Finish(line.kind, FixCommand(host, &ignored, &only), line.reportPath, out);
        }
        case LineCommand::Ignore:
            return ChangeList(IgnoreFindings(host, line.ids), "ignored", out);
        case LineCommand::Unignore:
            return ChangeList(UnignoreFindings(ports.store, line.ids), "unignored", out);
        case LineCommand::Ignored:
            return ListIgnored(ports.store, out);
        case LineCommand::FixDesktop:
            return Finish(line.kind, FixDesktopCommand(host), "", out);
        case LineCommand::Backups:
            return ListBackups(ports.store, out);
        case LineCommand::Restore: {
            bool found = false;
            const CommandReport report = RestoreCommand(host, line.restoreId, &found);
            if (!found) {
                Print(out, "No backup set " + line.restoreId + ".\n");
                return kExitNoSuchSet;
            }
            return Finish(line.kind, report, "", out);
        }
        case LineCommand::Window:
        case LineCommand::Usage:
            break;
    }
    return kExitUsage;
}

}  // namespace brenvik
