#include "engine/commands/command_line.h"

#include "engine/base/text_rules.h"

namespace brenvik {
namespace {

struct CommandSwitch {
    const char* name;
    LineCommand kind;
};

constexpr CommandSwitch kCommands[] = {
    {"scan", LineCommand::Scan},
    {"fix", LineCommand::Fix},
    {"fixdesktop", LineCommand::FixDesktop},
    {"backups", LineCommand::Backups},
    {"restore", LineCommand::Restore},
    {"ignore", LineCommand::Ignore},
    {"unignore", LineCommand::Unignore},
    {"ignored", LineCommand::Ignored},
};

CommandLine Refused(const std::string& error) {
    CommandLine line;
    line.kind = LineCommand::Usage;
    line.error = error;
    return line;
}

bool IsSwitch(const std::string& arg) {
    return arg.size() > 1 && (arg[0] == '/' || arg[0] == '-');
}

// The value after a switch: the next argument, which must not itself be a switch.
bool TakeValue(const std::vector<std::string>& args, std::size_t* i, std::string* value) {
    if (*i + 1 >= args.size() || IsSwitch(args[*i + 1]) || args[*i + 1].empty())
        return false;
    *value = args[++*i];
    return true;
}

// "a,b,c" into lowercase finding ids; "" and why when one is not an id.
std::string TakeIds(const std::string& text, std::vector<std::string>* ids) {
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        std::string id = text.substr(start, comma == std::string::npos ? comma : comma - start);
        LowercaseAscii(id);
        if (id.size() != 12 || id.find_first_not_of("0123456789abcdef") != std::string::npos)
            return "not a finding id: \"" + id + "\"";
        ids->push_back(id);
        if (comma == std::string::npos)
            return std::string();
        start = comma + 1;
    }
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool haveCommand = false;
    bool haveReport = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!IsSwitch(args[i]))
            return Refused("unexpected argument: " + args[i]);
        std::string name = args[i].substr(1);
        LowercaseAscii(name);
        if (name == "?" || name == "help")
            return Refused("");
        if (name == "all") {
            if (line.all)
                return Refused("/all given twice");
            line.all = true;
            continue;
        }
        if (name == "only") {
            std::string text;
            if (line.only || !TakeValue(args, &i, &text))
                return Refused("/only needs one list of finding ids");
            if (std::string why = TakeIds(text, &line.ids); !why.empty())
                return Refused(why);
            line.only = true;
            continue;
        }
        if (name == "report") {
            if (haveReport || !TakeValue(args, &i, &line.reportPath))
                return Refused("/report needs one file name");
            haveReport = true;
            continue;
        }
        const CommandSwitch* command = nullptr;
        for (const CommandSwitch& c : kCommands) {
            if (name == c.name)
                command = &c;
        }
        if (command == nullptr)
            return Refused("unknown switch: " + args[i]);
        if (haveCommand)
            return Refused("only one command at a time");
        haveCommand = true;
        line.kind = command->kind;
        if (line.kind == LineCommand::Restore && !TakeValue(args, &i, &line.restoreId))
            return Refused("/restore needs a backup id or \"last\"");
        if (line.kind == LineCommand::Ignore || line.kind == LineCommand::Unignore) {
            std::string text;
            if (!TakeValue(args, &i, &text))
                return Refused("/" + name + " needs finding ids");
            if (std::string why = TakeIds(text, &line.ids); !why.empty())
                return Refused(why);
        }
    }
    if (line.all && line.kind != LineCommand::Scan)
        return Refused("/all goes with /scan");
    if (line.only && line.kind != LineCommand::Fix)
        return Refused("/only goes with /fix");
    if (haveReport && line.kind != LineCommand::Scan && line.kind != LineCommand::Fix)
        return Refused("/report goes with /scan or /fix");
    return line;
}

int ExitCode(LineCommand kind, const Summary& summary) {
    switch (kind) {
        case LineCommand::Scan:
            // A place not examined may hide what a clean answer would deny.
            if (summary.skipped > 0)
                return kExitPartly;
            return summary.found == 0 && summary.reported == 0 ? kExitNone : kExitDone;
        case LineCommand::Fix:
            // A hijack that came back is not repaired, whatever the repair said.
            if (summary.skipped > 0 || summary.cameBack > 0)
                return kExitPartly;
            if (summary.found == 0 && summary.reported == 0)
                return kExitNone;
            return summary.failed == 0 && summary.conflicts == 0 ? kExitDone : kExitPartly;
        case LineCommand::FixDesktop:
        case LineCommand::Restore:
            return summary.failed == 0 && summary.conflicts == 0 ? kExitDone : kExitPartly;
        case LineCommand::Backups:
        case LineCommand::Ignored:
        case LineCommand::Window:
            return kExitNone;
        case LineCommand::Ignore:
        case LineCommand::Unignore:
            return summary.failed == 0 ? kExitDone : kExitPartly;
        case LineCommand::Usage:
            return kExitUsage;
    }
    return kExitUsage;
}

std::string UsageText() {
    return "Usage: brenvik [command] [/report file]\n"
           "  /scan              scan every place and print the findings (0 none, 1 found,\n"
           "                     2 could not examine everything)\n"
           "  /fix               scan and repair, keeping a backup set (0 nothing to repair,\n"
           "                     1 all repaired, 2 some failed, came back or could not examine\n"
           "                     everything)\n"
           "  /fixdesktop        restore the desktop icons, keeping a backup set (1 done, 2 "
           "failed)\n"
           "  /backups           list the backup sets (0)\n"
           "  /restore <id|last> put a backup set back (1 restored, 2 conflicts or failures,\n"
           "                     3 no such set)\n"
           "  /ignore <id,...>   ignore those findings of a fresh scan (1 done, 2 failed,\n"
           "                     3 unknown id)\n"
           "  /unignore <id,...> take those entries off the ignore list (1 done, 2 failed,\n"
           "                     3 unknown id)\n"
           "  /ignored           list the ignore list (0)\n"
           "  /all               with /scan: list ignored findings too, as \"ignored\"\n"
           "  /only <id,...>     with /fix: repair just those findings (3 unknown id)\n"
           "  /report <file>     with /scan or /fix: also write the report as JSON\n"
           "  /?                 this text (3)\n"
           "Switches start with / or -, in any letter case. Without switches the window opens.\n";
}

}  // namespace brenvik
