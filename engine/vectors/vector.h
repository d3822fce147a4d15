// A hijack vector: one way a browser's start is taken over, with its scan and its repair. The
// commands run every vector of the table (vector_table.h) through this interface only.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/change/access_broker.h"
#include "engine/change/work_places.h"
#include "engine/places/folder_listings.h"
#include "engine/places/link_places.h"
#include "engine/vectors/browser_link_scanner.h"
#include "engine/vectors/finding.h"
#include "engine/vectors/name_space_scanner.h"

namespace brenvik {

// A finding with the label of its report row.
struct LocatedFinding {
    std::string location;
    Finding finding;
};
using LocatedFindings = std::vector<LocatedFinding>;

// What the vectors of one command share, filled as they run: each folder listed once, and
// what the earlier vectors reported (a file or an entry is reported by one vector only), and
// the per-machine command texts that the name space vector read for the browser one.
struct VectorContext {
    explicit VectorContext(FileReader& files) : listings(files) {}

    FolderListings listings;
    ReportedPaths files;            // normalized shortcut paths
    std::set<std::string> entries;  // name space entry key paths
    NameSpaceCommands machineCommands;

    // The user's program folders (UserProgramFolders), asked once per command.
    const std::vector<std::string>& userFolders(const PortReads& reads) {
        if (!m_userFolders)
            m_userFolders = UserProgramFolders(reads);
        return *m_userFolders;
    }

private:
    std::optional<std::vector<std::string>> m_userFolders;
};

class Vector {
public:
    virtual ~Vector() = default;

    // What it reads and may change: nothing outside these is reached escalated, journaled or
    // restored.
    virtual WorkPlaces places(const PortReads& ports) const = 0;
    // Records what it finds, reading and adding to the context.
    virtual void scan(AccessBroker& broker, VectorContext& context) = 0;
    // Repairs what the scan recorded, through the broker.
    virtual void repair(AccessBroker& broker) = 0;
    // Drops, before repair, the recorded findings keep refuses; what the context took from
    // them stays, so that later vectors still leave those objects out.
    virtual void keepOnly(const std::function<bool(const LocatedFinding&)>& keep) = 0;
    // The recorded findings with their row labels, in row order.
    virtual LocatedFindings findings() const = 0;
    // What it passed over besides the context's listings.
    virtual SkippedPlaces skipped() const { return {}; }
};

}  // namespace brenvik
