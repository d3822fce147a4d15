#include "engine/vectors/debugger_vector.h"

#include "engine/places/key_names.h"
#include "engine/rules/browser_table.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {
namespace {

constexpr const char* kDebugger = "Debugger";
constexpr const char* kMonitorProcess = "MonitorProcess";
constexpr const char* kReportingMode = "ReportingMode";
constexpr const char* kGlobalFlag = "GlobalFlag";

std::string ExecutableOf(const std::string& path) {
    return path.substr(path.rfind('\\') + 1);
}

bool HasValue(AccessBroker& broker, const std::string& path, const char* name) {
    ScopedKey key(broker.reads().registry);
    std::uint32_t type = kRegNone;
    std::uint32_t size = 0;
    return broker.openKey(kHKeyLocalMachine, path, kKeyRead, &key) == kErrorSuccess &&
           broker.reads().registry.queryValue(key.get(), name, &type, nullptr, &size) ==
               kErrorSuccess;
}

}  // namespace

WorkPlaces DebuggerVector::places(const PortReads&) const {
    WorkPlaces places;
    for (const char* key : kExecutionOptionsKeys)
        places.keys.push_back({kHKeyLocalMachine, key, false});
    places.keys.push_back({kHKeyLocalMachine, kSilentExitKey, false});
    return places;
}

void DebuggerVector::scan(AccessBroker& broker, VectorContext&) {
    for (const std::string_view executable : BrowserExecutables()) {
        if (broker.stopRequested())
            return;
        for (const char* options : kExecutionOptionsKeys)
            scanOptions(broker, std::string(options) + "\\" + std::string(executable));
        scanSilentExit(broker, std::string(executable));
    }
}

// A Debugger value on the executable's key, and on each of its filter subkeys when the key
// says filters are used (UseFilter): Windows then runs the one whose FilterFullPath matches.
void DebuggerVector::scanOptions(AccessBroker& broker, const std::string& path) {
    RegistryReader& registry = broker.reads().registry;
    ScopedKey key(registry);
    const Status opened = broker.openKey(kHKeyLocalMachine, path, kKeyRead, &key);
    if (opened != kErrorSuccess) {
        SkipKey(&m_skipped, m_label, kHKeyLocalMachine, path, "opened", opened);
        return;
    }
    std::string debugger;
    if (ReadValueText(registry, key.get(), kDebugger, &debugger) && !debugger.empty())
        m_findings.push_back(
            ValueFinding(kHKeyLocalMachine, path, kDebugger, debugger, BrowserRule::Debugger));
    std::uint32_t useFilter = 0;
    if (!ReadDword(registry, key.get(), "UseFilter", &useFilter) || useFilter == 0)
        return;
    Status listed = kErrorSuccess;
    for (const std::string& name : SubkeyNames(registry, key.get(), &listed)) {
        ScopedKey filter(registry);
        const std::string filterPath = path + "\\" + name;
        const Status s = broker.openKeyBelow(key.get(), kHKeyLocalMachine, path, name, &filter);
        if (s != kErrorSuccess) {
            SkipKey(&m_skipped, m_label, kHKeyLocalMachine, filterPath, "opened", s);
            continue;
        }
        std::string filtered;
        if (ReadValueText(registry, filter.get(), kDebugger, &filtered) && !filtered.empty())
            m_findings.push_back(ValueFinding(kHKeyLocalMachine, filterPath, kDebugger, filtered,
                                              BrowserRule::Debugger));
    }
    SkipKey(&m_skipped, m_label, kHKeyLocalMachine, path, "enumerated", listed);
}

// The monitor runs only while the executable's GlobalFlag holds the flag.
void DebuggerVector::scanSilentExit(AccessBroker& broker, const std::string& executable) {
    RegistryReader& registry = broker.reads().registry;
    ScopedKey options(registry);
    const std::string optionsPath = std::string(kExecutionOptionsKeys[0]) + "\\" + executable;
    std::uint32_t flags = 0;
    if (broker.openKey(kHKeyLocalMachine, optionsPath, kKeyRead, &options) != kErrorSuccess ||
        !ReadDword(registry, options.get(), kGlobalFlag, &flags) ||
        (flags & kMonitorSilentExitFlag) == 0)
        return;
    ScopedKey monitor(registry);
    const std::string monitorPath = std::string(kSilentExitKey) + "\\" + executable;
    const Status opened = broker.openKey(kHKeyLocalMachine, monitorPath, kKeyRead, &monitor);
    if (opened != kErrorSuccess) {
        SkipKey(&m_skipped, m_label, kHKeyLocalMachine, monitorPath, "opened", opened);
        return;
    }
    std::string process;
    if (ReadValueText(registry, monitor.get(), kMonitorProcess, &process) && !process.empty())
        m_findings.push_back(ValueFinding(kHKeyLocalMachine, monitorPath, kMonitorProcess, process,
                                          BrowserRule::Debugger));
}

void DebuggerVector::repair(AccessBroker& broker) {
    for (const Finding& finding : m_findings) {
        if (broker.stopRequested())
            return;
        if (finding.value == kDebugger) {
            broker.deleteValue(finding.root, finding.path, kDebugger);
            continue;
        }
        if (HasValue(broker, finding.path, kReportingMode))
            broker.deleteValue(finding.root, finding.path, kReportingMode);
        if (broker.deleteValue(finding.root, finding.path, kMonitorProcess) != kErrorSuccess)
            continue;
        // The other flags are the user's or a debugging tool's own: only this one goes.
        const std::string options =
            std::string(kExecutionOptionsKeys[0]) + "\\" + ExecutableOf(finding.path);
        ScopedKey key(broker.reads().registry);
        std::uint32_t flags = 0;
        if (broker.openKey(kHKeyLocalMachine, options, kKeyReadWrite, &key) == kErrorSuccess &&
            ReadDword(broker.reads().registry, key.get(), kGlobalFlag, &flags))
            SetDword(broker, key.get(), kGlobalFlag, flags & ~kMonitorSilentExitFlag);
    }
}

}  // namespace brenvik
