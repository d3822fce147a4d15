#include "engine/commands/driver.h"

#include "engine/vectors/desktop_restore.h"
#include "engine/vectors/vector_table.h"
#include "engine/views/result_record.h"

namespace brenvik {
namespace {

using FoundCall = std::function<void(const LocatedFinding&)>;
using PassedCall = std::function<void(const SkippedPlace&)>;

// What the scanners of one command passed over, each object once, whichever scanner met it
// first (the Desktop is listed by two, a class's keys are opened by both name space scanners).
class Passed {
public:
    explicit Passed(const PassedCall& call = nullptr) : m_call(call) {}

    void take(const SkippedPlaces& more) {
        for (const SkippedPlace& place : more) {
            const std::size_t before = m_all.size();
            AddSkipped(&m_all, place);
            if (m_all.size() > before && m_call)
                m_call(m_all.back());
        }
    }
    const SkippedPlaces& all() const { return m_all; }

private:
    PassedCall m_call;
    SkippedPlaces m_all;
};

}  // namespace

LocatedFindings ScanPlaces(AccessBroker& broker, const FoundCall& found,
                           const PassedCall& passedCall) {
    VectorContext context(broker.reads().files);
    LocatedFindings all;
    Passed passed(passedCall);
    // Each vector's findings, then what it passed over.
    for (const std::unique_ptr<Vector>& vector : MakeVectors()) {
        vector->scan(broker, context);
        for (LocatedFinding& finding : vector->findings()) {
            all.push_back(std::move(finding));
            if (found)
                found(all.back());
        }
        passed.take(vector->skipped());
        passed.take(context.listings.skipped());
    }
    return all;
}

LocatedFindings FixPlaces(AccessBroker& broker, SkippedPlaces* skipped,
                          const std::function<bool(const LocatedFinding&)>& repairs,
                          LocatedFindings* held) {
    // The repairs change only shortcuts that are reported, which the later vectors pass over:
    // the listings taken before them still hold for everything those read.
    VectorContext context(broker.reads().files);
    const std::vector<std::unique_ptr<Vector>> vectors = MakeVectors();
    LocatedFindings all;
    Passed passed;
    for (std::size_t index : FixOrder()) {
        Vector& vector = *vectors[index];
        vector.scan(broker, context);
        if (repairs) {
            vector.keepOnly([&repairs, held](const LocatedFinding& found) {
                if (repairs(found))
                    return true;
                if (held != nullptr)
                    held->push_back(found);
                return false;
            });
        }
        vector.repair(broker);
        for (LocatedFinding& finding : vector.findings()) all.push_back(std::move(finding));
        passed.take(vector.skipped());
        passed.take(context.listings.skipped());
    }
    if (skipped != nullptr)
        *skipped = passed.all();
    return all;
}

void FixDesktopWith(AccessBroker& broker) {
    ShowDesktopIcons(broker);
    ReregisterNetworkPlaces(broker);
}

}  // namespace brenvik
