// Protocol and file handlers: what Windows runs for a web link or an .html file. Today the
// UserChoice the user made in Settings, which Windows protects: when it names a handler that
// is not registered or runs no browser, a report-only row says so.
#pragma once

#include "engine/vectors/labelled_vector.h"

namespace brenvik {

constexpr const char* kHandlerLabel = "Protocol Handler";

// The user's choices for web links and .html files, under HKEY_CURRENT_USER.
// clang-format off
constexpr const char* kUserChoiceKeys[] = {
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice",
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\https\\UserChoice",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.htm\\UserChoice",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.html\\UserChoice",
};
// clang-format on

class HandlerVector final : public LabelledVector {
public:
    HandlerVector() : LabelledVector(kHandlerLabel) {}

    WorkPlaces places(const PortReads& ports) const override;
    void scan(AccessBroker& broker, VectorContext& context) override;
    // UserChoice is never changed: its rows are report-only.
    void repair(AccessBroker&) override {}

private:
    // The command Windows runs for progId's open verb, the user's registration first, as the
    // shell merges them; "" when neither has one.
    std::string openCommand(AccessBroker& broker, const std::string& progId);
};

}  // namespace brenvik
