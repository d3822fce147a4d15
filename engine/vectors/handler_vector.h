// Protocol and file handlers: what Windows runs for a web link or an .html file. A handler's
// command that adds an address or a code-loading switch to its browser is cleaned; a browser's
// handler (or that of http, https, htmlfile) that runs a launcher gets the browser back. The
// UserChoice the user made in Settings is protected by Windows and never changed: when it
// names a handler that is not registered or runs a launcher, a report-only row says so.
#pragma once


#include "engine/rules/browser_table.h"
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

// The handlers known by their exact names, in scan order ("http", ..., "ChromeHTML", ...);
// the families named by prefix ("FirefoxURL-...") are found through Capabilities.
std::vector<std::string> KnownHandlerNames();

// The browser a handler belongs to, by the handler's name: the system's web handlers and the
// browsers' own ("ChromeHTML", "FirefoxURL-308046B0AF4A39CB"); null for any other.
const Browser* HandlerBrowser(const std::string& progId);

class HandlerVector final : public LabelledVector {
public:
    HandlerVector() : LabelledVector(kHandlerLabel) {}

    WorkPlaces places(const PortReads& ports) const override;
    // The known handlers, those the browsers' Capabilities name and those the user chose, each
    // under HKEY_CURRENT_USER then HKEY_LOCAL_MACHINE, verb by verb; then the choices.
    void scan(AccessBroker& broker, VectorContext& context) override;
    // A handler key is never deleted: its command is rewritten. The choices are left as they
    // are.
    void repair(AccessBroker& broker) override;

private:
    // Handler names in scan order, each once, with the browser each belongs to (or null).
    using Handlers = std::vector<std::pair<std::string, const Browser*>>;
    Handlers handlers(AccessBroker& broker, const std::vector<std::string>& chosen);
    void scanHandler(AccessBroker& broker, RegKey root, const std::string& progId,
                     const Browser* browser, const std::vector<std::string>& userFolders);
    void scanChoices(AccessBroker& broker, const std::vector<std::string>& chosen,
                     const std::vector<std::string>& userFolders);
    std::vector<std::string> chosenHandlers(AccessBroker& broker);
    // The command Windows runs for progId's open verb, the user's registration first, as the
    // shell merges them; "" when neither has one.
    std::string openCommand(AccessBroker& broker, const std::string& progId);
};

}  // namespace brenvik
