// One Fix's or Fix Desktop's backup set in the program's store, "Backups\<id>": every object
// is kept durably before its first change, its result and state after each change, so that
// a set cut short by a crash still restores what it holds. Sets are never deleted here.
//
// The set's manifest is one file of lines, each appended and flushed before the work goes
// on: "object <n> <json>", "result <n> <json>" (the last one of an object counts), and
// "finished <time>" at the end. One file, not one per record: creating a file costs a look
// through the whole folder on some file systems (Wine's), which grew with every record. The
// bytes of a kept file are the exception: each is written, flushed, to "<n>.before" or
// "<n>.after[-<k>]" beside the manifest before the line that names it, so that neither a line
// nor the manifest grows with the files a set keeps.
#pragma once

#include <string>
#include <vector>

#include "engine/backup/backup_manifest.h"
#include "engine/ports/content_port.h"
#include "engine/ports/host_port.h"
#include "engine/ports/store_port.h"

namespace brenvik {

constexpr const char* kBackupsFolder = "Backups";
// Each set's header sits beside its folder, as "<id>.set", so that the sets can be listed.
constexpr const char* kSetSuffix = ".set";
constexpr const char* kManifestName = "manifest";
constexpr const char* kBeforeSuffix = ".before";
constexpr const char* kAfterSuffix = ".after";
constexpr const char* kObjectLine = "object";
constexpr const char* kResultLine = "result";
constexpr const char* kFinishedLine = "finished";

// A result not (yet) known: the change was kept but never tried, or the run died.
constexpr Status kResultPending = -1;

class BackupSet final : public BackupSink {
public:
    struct Entry {
        ChangedObject object;
        std::string action;
        Status result = kResultPending;
    };

    BackupSet(StorePort& store, ContentPort& content) : m_store(store), m_content(content) {}

    // Makes the set's folder and writes its header; the id is the start time, with "-2",
    // "-3", ... when a set of that second exists.
    Status begin(const SetHeader& header, const UtcTime& started);
    const std::string& id() const { return m_id; }

    Status beforeChange(AccessBroker& broker, const ChangedObject& object,
                        const char* action) override;
    void afterChange(AccessBroker& broker, const ChangedObject& object, Status result) override;

    // Records each object's final state (a repair may change a kept key again after its
    // first change), then the closing record that tells the set was not cut short.
    Status finish(AccessBroker& broker, const UtcTime& finished);

    // The entry of the kept object that holds this one (itself, or a key tree above it).
    const Entry* entryFor(const ChangedObject& object) const;
    const std::vector<Entry>& entries() const { return m_entries; }
    // The first error met while writing the set; changes were refused from then on.
    Status writeError() const { return m_writeError; }

private:
    // What was last written for an object's result.
    struct LastResult {
        std::string text;
        std::string bytes;  // of its content file, when it has one
        KeptContent content;
        int contents = 0;  // its after-change content files so far
    };

    int find(const ChangedObject& object) const;
    Status writeResult(AccessBroker& broker, std::size_t index);
    Status append(const std::string& line);
    Status writeContent(const std::string& name, const std::string& bytes, KeptContent* content);

    StorePort& m_store;
    ContentPort& m_content;
    std::string m_id;
    std::vector<Entry> m_entries;
    std::vector<LastResult> m_lastResults;
    Status m_writeError = kErrorSuccess;
};

}  // namespace brenvik
