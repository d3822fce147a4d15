#include "engine/vectors/vector_table.h"

#include <string>
#include <utility>

#include "engine/places/registered_browser.h"
#include "engine/rules/browser_paths.h"
#include "engine/vectors/desktop_restore.h"
#include "engine/vectors/browser_command_vector.h"
#include "engine/vectors/browser_link_scanner.h"
#include "engine/vectors/browser_name_space_scanner.h"
#include "engine/vectors/debugger_vector.h"
#include "engine/vectors/handler_vector.h"
#include "engine/vectors/link_scanners.h"
#include "engine/vectors/name_space_scanner.h"
#include "engine/vectors/startup_vector.h"
#include "engine/vectors/task_vector.h"

namespace brenvik {
namespace {

// What every vector does the same way over its scanner: repair, keep a selection, and label
// the findings (label "" when each finding carries its place's own).
template <typename Scanner>
class ScannerVector : public Vector {
public:
    template <typename... Arguments>
    explicit ScannerVector(std::string label, const Arguments&... arguments)
        : m_scanner(arguments...), m_label(std::move(label)) {}

    void repair(AccessBroker& broker) override { m_scanner.repair(broker); }
    void keepOnly(const std::function<bool(const LocatedFinding&)>& keep) override {
        FindingList kept;
        for (Finding& finding : m_scanner.recorded()) {
            if (keep(LocatedFinding{labelOf(finding), finding}))
                kept.push_back(std::move(finding));
        }
        m_scanner.recorded() = std::move(kept);
    }
    SkippedPlaces skipped() const override { return m_scanner.skipped(); }
    LocatedFindings findings() const override {
        LocatedFindings located;
        for (const Finding& finding : m_scanner.findings())
            located.push_back(LocatedFinding{labelOf(finding), finding});
        return located;
    }

protected:
    Scanner m_scanner;

private:
    const std::string& labelOf(const Finding& finding) const {
        return m_label.empty() ? finding.location : m_label;
    }

    std::string m_label;
};

// Internet Explorer shortcuts with arguments in one Shell Folders folder.
class LinkFolderVector final : public ScannerVector<LinkFolderScanner> {
public:
    explicit LinkFolderVector(const LinkFolder& folder)
        : ScannerVector(folder.label, folder), m_place(folder.place) {}

    WorkPlaces places(const PortReads& ports) const override {
        WorkPlaces places;
        std::string folder;
        if (FindLinkFolder(ports, m_place, &folder))
            places.folders.push_back(folder);
        return places;
    }

    void scan(AccessBroker& broker, VectorContext& context) override {
        m_scanner.scan(broker, context.listings);
        for (const Finding& finding : m_scanner.findings())
            context.files.insert(NormalizedPath(finding.path));
    }

private:
    ShellFolderPlace m_place;
};

// Fake desktop icons that open Internet Explorer.
class NameSpaceVector final : public ScannerVector<NameSpaceScanner> {
public:
    NameSpaceVector() : ScannerVector(kNameSpaceLabel) {}

    // Fix Desktop's keys too: it is this vector's repair of the whole desktop.
    WorkPlaces places(const PortReads&) const override {
        std::vector<KeyPlace> keys = {{kHKeyLocalMachine, kNameSpaceKey, false},
                                      {kHKeyLocalMachine, kMachineClassesKey, true}};
        for (const KeyPlace& key : DesktopRestoreKeys()) keys.push_back(key);
        return KeyPlaces(std::move(keys));
    }

    void scan(AccessBroker& broker, VectorContext& context) override {
        m_scanner.scan(broker, &context.machineCommands);
        for (const Finding& finding : m_scanner.findings()) context.entries.insert(finding.path);
    }
};

// Every browser's shortcuts in every place; each finding carries its place's label.
class BrowserLinkVector final : public ScannerVector<BrowserLinkScanner> {
public:
    BrowserLinkVector() : ScannerVector("") {}

    // The browsers' App Paths registrations are read for a replaced target's repair.
    WorkPlaces places(const PortReads& ports) const override {
        WorkPlaces places;
        places.keys = {{kHKeyLocalMachine, kAppPathsKey, false},
                       {kHKeyCurrentUser, kAppPathsKey, false}};
        for (const PlaceFolder& place : FindPlaceFolders(ports))
            (place.withSubfolders ? places.walked : places.folders).push_back(place.folder);
        return places;
    }

    void scan(AccessBroker& broker, VectorContext& context) override {
        m_scanner.scan(broker, context.listings, context.files,
                       context.userFolders(broker.reads()));
    }
};

// Fake desktop icons that open the other browsers.
class BrowserNameSpaceVector final : public ScannerVector<BrowserNameSpaceScanner> {
public:
    BrowserNameSpaceVector() : ScannerVector(kNameSpaceLabel) {}

    WorkPlaces places(const PortReads&) const override {
        return KeyPlaces({{kHKeyLocalMachine, kNameSpaceKey, false},
                          {kHKeyCurrentUser, kNameSpaceKey, false},
                          {kHKeyLocalMachine, kClassesKey, true},
                          {kHKeyCurrentUser, kClassesKey, true}});
    }

    void scan(AccessBroker& broker, VectorContext& context) override {
        m_scanner.scan(broker, context.entries, context.machineCommands);
    }
};

}  // namespace

std::vector<std::unique_ptr<Vector>> MakeVectors() {
    std::vector<std::unique_ptr<Vector>> vectors;
    vectors.push_back(std::make_unique<LinkFolderVector>(kQuickLaunchLinks));
    vectors.push_back(std::make_unique<NameSpaceVector>());
    vectors.push_back(std::make_unique<LinkFolderVector>(kDesktopLinks));
    // After the two shortcut folders, whose findings it leaves out.
    vectors.push_back(std::make_unique<BrowserLinkVector>());
    // After the name space vector, whose entries and command texts it takes.
    vectors.push_back(std::make_unique<BrowserNameSpaceVector>());
    vectors.push_back(MakeHandlerVector());
    vectors.push_back(MakeBrowserCommandVector());
    vectors.push_back(MakeDebuggerVector());
    vectors.push_back(MakeStartupVector());
    vectors.push_back(MakeTaskVector());
    return vectors;
}

std::vector<std::size_t> FixOrder() {
    return {1, 0, 2, 3, 4, 5, 6, 7, 8, 9};
}

WorkPlaces DeclaredPlaces(Ports& ports) {
    WorkPlaces places;
    for (const std::unique_ptr<Vector>& vector : MakeVectors()) places.add(vector->places(ports));
    return places;
}

void UseDeclaredPlaces(AccessBroker& broker, Ports& ports) {
    broker.findFilePlacesWith([&ports] { return DeclaredPlaces(ports).fileFolders(); });
}

}  // namespace brenvik
