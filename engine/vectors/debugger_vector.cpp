#include "engine/vectors/debugger_vector.h"

#include "engine/places/key_names.h"
#include "engine/rules/browser_table.h"
#include "engine/vectors/labelled_vector.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {
namespace {

constexpr const char* kDebuggerLabel = "Image File Execution";

constexpr const char* kDebugger = "Debugger";
constexpr const char* kMonitorProcess = "MonitorProcess";
constexpr const char* kReportingMode = "ReportingMode";
constexpr const char* kGlobalFlag = "GlobalFlag";

std::string ExecutableOf(const std::string& path) {
    return path.substr(path.rfind('\\') + 1);
}

// Windows 7 and later (and Wine) keep one Image File Execution Options key for both views:
// the WOW6432Node path then shows the native key's values again, which are one object and one
// row. True when the value at path is such a repeat of a finding already made.
bool ShownInNativeView(const FindingList& findings, const std::string& path, const char* name,
                       const std::string& text) {
    const std::string wow = kExecutionOptionsKeys[1];
    if (path.compare(0, wow.size(), wow) != 0)
        return false;
    const std::string native = kExecutionOptionsKeys[0] + path.substr(wow.size());
    for (const Finding& finding : findings) {
        if (finding.path == native && finding.value == name && finding.site == text)
            return true;
    }
    return false;
}

bool HasValue(AccessBroker& broker, const std::string& path, const char* name) {
    ScopedKey key(broker.reads().registry);
    std::uint32_t type = kRegNone;
    std::uint32_t size = 0;
    return broker.openKey(kHKeyLocalMachine, path, kKeyRead, &key) == kErrorSuccess &&
           broker.reads().registry.queryValue(key.get(), name, &type, nullptr, &size) ==
               kErrorSuccess;
}

class DebuggerVector final : public LabelledVector {
public:
    DebuggerVector()
        : LabelledVector(kDebuggerLabel, {{kHKeyLocalMachine, kExecutionOptionsKeys[0], false},
                                          {kHKeyLocalMachine, kExecutionOptionsKeys[1], false},
                                          {kHKeyLocalMachine, kSilentExitKey, false}}) {}

    // The browsers of the table in the table's order: each one's options in both views, its
    // filter subkeys, then its silent-exit monitor.
    void scan(AccessBroker& broker, VectorContext&) override {
        for (const std::string_view executable : BrowserExecutables()) {
            if (broker.stopRequested())
                return;
            // The monitor runs only while the native view's GlobalFlag holds the flag.
            bool monitored = false;
            for (const char* options : kExecutionOptionsKeys) {
                const bool flagged =
                    scanOptions(broker, std::string(options) + "\\" + std::string(executable));
                monitored = monitored || (flagged && options == kExecutionOptionsKeys[0]);
            }
            if (monitored)
                scanSilentExit(broker, std::string(executable));
        }
    }

    void repair(AccessBroker& broker) override;

private:
    // True when the key's GlobalFlag asks for the silent-exit monitor.
    bool scanOptions(AccessBroker& broker, const std::string& path);
    void scanSilentExit(AccessBroker& broker, const std::string& executable);
    // A finding of the named text value of the open key at path, when it is there and not
    // empty.
    void findText(RegistryReader& registry, RegKey key, const std::string& path, const char* name);
};

// A Debugger value on the executable's key, and on each of its filter subkeys when the key
// says filters are used (UseFilter): Windows then runs the one whose FilterFullPath matches.
bool DebuggerVector::scanOptions(AccessBroker& broker, const std::string& path) {
    RegistryReader& registry = broker.reads().registry;
    ScopedKey key(registry);
    if (!openToScan(broker, kHKeyLocalMachine, path, &key))
        return false;
    findText(registry, key.get(), path, kDebugger);
    std::uint32_t flags = 0;
    const bool monitored = ReadDword(registry, key.get(), kGlobalFlag, &flags) &&
                           (flags & kMonitorSilentExitFlag) != 0;
    std::uint32_t useFilter = 0;
    if (!ReadDword(registry, key.get(), "UseFilter", &useFilter) || useFilter == 0)
        return monitored;
    Status listed = kErrorSuccess;
    for (const std::string& name : SubkeyNames(registry, key.get(), &listed)) {
        ScopedKey filter(registry);
        const std::string filterPath = path + "\\" + name;
        const Status s = broker.openKeyBelow(key.get(), kHKeyLocalMachine, path, name, &filter);
        SkipKey(&m_skipped, m_label, kHKeyLocalMachine, filterPath, "opened", s);
        if (s == kErrorSuccess)
            findText(registry, filter.get(), filterPath, kDebugger);
    }
    SkipKey(&m_skipped, m_label, kHKeyLocalMachine, path, "enumerated", listed);
    return monitored;
}

void DebuggerVector::scanSilentExit(AccessBroker& broker, const std::string& executable) {
    RegistryReader& registry = broker.reads().registry;
    ScopedKey monitor(registry);
    const std::string monitorPath = std::string(kSilentExitKey) + "\\" + executable;
    if (openToScan(broker, kHKeyLocalMachine, monitorPath, &monitor))
        findText(registry, monitor.get(), monitorPath, kMonitorProcess);
}

void DebuggerVector::findText(RegistryReader& registry, RegKey key, const std::string& path,
                              const char* name) {
    std::string text;
    if (ReadValueText(registry, key, name, &text) && !text.empty() &&
        !ShownInNativeView(m_findings, path, name, text))
        m_findings.push_back(
            ValueFinding(kHKeyLocalMachine, path, name, std::move(text), BrowserRule::Debugger));
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

}  // namespace

std::unique_ptr<Vector> MakeDebuggerVector() {
    return std::make_unique<DebuggerVector>();
}

}  // namespace brenvik
