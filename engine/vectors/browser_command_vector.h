// Browser launch commands: what the Start menu and "Default apps" run for a browser
// (StartMenuInternet\<browser>\shell\open\command). A web address or code-loading switch in
// it is removed; a launcher in its place is replaced by the browser's machine registration.
#pragma once

#include "engine/rules/browser_table.h"
#include "engine/vectors/labelled_vector.h"

namespace brenvik {

constexpr const char* kBrowserCommandLabel = "Browser Command";
constexpr const char* kStartMenuInternetKey = "Software\\Clients\\StartMenuInternet";

// The browser a StartMenuInternet key is for: its name as the browser's own shortcuts show it
// ("Google Chrome", "Firefox-308046B0AF4A39CB"), or its executable's name ("chrome.exe").
const Browser* BrowserOfKey(const std::string& keyName);

class BrowserCommandVector final : public LabelledVector {
public:
    BrowserCommandVector() : LabelledVector(kBrowserCommandLabel) {}

    WorkPlaces places(const PortReads& ports) const override;
    // Each browser's command under HKEY_LOCAL_MACHINE, then under HKEY_CURRENT_USER, in the
    // order the keys list.
    void scan(AccessBroker& broker, VectorContext& context) override;
    // Arguments: the command without them; a replaced one: the registration's command. A
    // finding with no registration to take fails with its reason, nothing written.
    void repair(AccessBroker& broker) override;

private:
    void scanRoot(AccessBroker& broker, RegKey root, const std::vector<std::string>& userFolders);
};

}  // namespace brenvik
