// The product's commands over bare ports, for tests and benchmarks that hold no command host:
// the report's clock and names need not be the machine's.
#pragma once

#include "engine/commands/commands.h"
#include "platform/model/model_host.h"

namespace brenvik::test {

// Refuses everything: nothing a scan does reaches it.
class NoContent final : public ContentPort {
public:
    Status readFileBytes(const std::string&, std::string*, OpenMode) override {
        return kErrorNotSupported;
    }
    Status writeFileBytes(const std::string&, const std::string&, bool, OpenMode) override {
        return kErrorNotSupported;
    }
    Status enumValue(RegKey, std::uint32_t, ValueEntry*) override { return kErrorNotSupported; }
    Status setValueBytes(RegKey, const std::string&, std::uint32_t, const std::string&) override {
        return kErrorNotSupported;
    }
};

// The window's Scan: a scan reads no kept contents.
inline CommandReport ScanRows(Ports& ports, ReportView& view) {
    NoContent content;
    model::ModelHost host;
    CommandHost commands{ports, content, host};
    return ScanIntoView(commands, view);
}

// Fix as the window and the command line run it: with its backup set in the ports' store.
inline CommandReport Fix(Ports& ports, ContentPort& content) {
    model::ModelHost host;
    CommandHost commands{ports, content, host};
    return FixCommand(commands);
}

inline CommandReport FixDesktop(Ports& ports, ContentPort& content) {
    model::ModelHost host;
    CommandHost commands{ports, content, host};
    return FixDesktopCommand(commands);
}

}  // namespace brenvik::test
