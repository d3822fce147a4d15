#include "engine/backup/backup_set.h"

#include "engine/backup/object_state.h"
#include "engine/base/text_rules.h"

namespace brenvik {
namespace {

constexpr int kMaxSameSecond = 100;

std::string Folded(std::string text) {
    LowercaseAscii(text);
    return text;
}

// A key at or below the kept key; files only as themselves.
bool Holds(const ChangedObject& kept, const ChangedObject& object) {
    if (kept.kind != object.kind || kept.root != object.root)
        return false;
    const std::string keptPath = Folded(kept.path);
    const std::string path = Folded(object.path);
    if (path == keptPath)
        return true;
    return kept.kind == ChangedObject::Kind::Key && path.size() > keptPath.size() &&
           path.compare(0, keptPath.size(), keptPath) == 0 && path[keptPath.size()] == '\\';
}

// A file or a task (its XML) into file, a key tree into key.
Status Capture(AccessBroker& broker, ContentPort& content, const ChangedObject& object,
               FileState* file, KeyState* key) {
    switch (object.kind) {
        case ChangedObject::Kind::File:
            return CaptureFile(broker, content, object.path, file);
        case ChangedObject::Kind::Task:
            return CaptureTask(broker, object.path, file);
        case ChangedObject::Kind::Key:
            break;
    }
    return CaptureKeyTree(broker, content, object.root, object.path, key);
}

}  // namespace

Status BackupSet::begin(const SetHeader& header, const UtcTime& started) {
    bool trusted = false;
    if (Status s = m_store.secureFolder(kBackupsFolder, &trusted))
        return s;
    const std::string stamp = CompactTime(started);
    for (int n = 1; n <= kMaxSameSecond; ++n) {
        const std::string id = n == 1 ? stamp : stamp + "-" + std::to_string(n);
        SetHeader named = header;
        named.id = id;
        const std::string text = FormatSetHeader(named);
        if (text.empty())
            return kErrorInvalidData;
        const Status s =
            m_store.writeDurably(std::string(kBackupsFolder) + "\\" + id + kSetSuffix, text);
        if (s == kErrorFileExists)
            continue;
        if (s != kErrorSuccess)
            return s;
        m_id = id;
        const std::string folder = std::string(kBackupsFolder) + "\\" + id;
        if (Status s = m_store.secureFolder(folder, &trusted))
            return s;
        return m_store.writeDurably(folder + "\\" + kManifestName, "");
    }
    return kErrorFileExists;
}

Status BackupSet::writeContent(const std::string& name, const std::string& bytes,
                               KeptContent* content) {
    if (Status s =
            m_store.writeDurably(std::string(kBackupsFolder) + "\\" + m_id + "\\" + name, bytes))
        return s;
    content->name = name;
    content->size = bytes.size();
    return kErrorSuccess;
}

Status BackupSet::append(const std::string& line) {
    return m_store.appendDurably(std::string(kBackupsFolder) + "\\" + m_id + "\\" + kManifestName,
                                 line + "\n");
}

int BackupSet::find(const ChangedObject& object) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (Holds(m_entries[i].object, object))
            return static_cast<int>(i);
    }
    return -1;
}

const BackupSet::Entry* BackupSet::entryFor(const ChangedObject& object) const {
    const int index = find(object);
    return index < 0 ? nullptr : &m_entries[static_cast<std::size_t>(index)];
}

Status BackupSet::beforeChange(AccessBroker& broker, const ChangedObject& object,
                               const char* action) {
    if (m_writeError != kErrorSuccess)
        return m_writeError;
    if (m_id.empty())
        return kErrorInvalidHandle;
    if (find(object) >= 0)
        return kErrorSuccess;
    ObjectRecord record{object, action, {}, {}};
    const Status captured =
        Capture(broker, m_content, object, &record.fileBefore, &record.keyBefore);
    if (captured != kErrorSuccess)
        return captured;
    // Opening a missing key for writing changes nothing: there is nothing to keep.
    if (object.kind == ChangedObject::Kind::Key && !record.keyBefore.present &&
        record.action == "write values")
        return kErrorSuccess;
    const std::string number = std::to_string(m_entries.size() + 1);
    Status s = kErrorSuccess;
    if (record.fileBefore.present)
        s = writeContent(number + kBeforeSuffix, record.fileBefore.bytes, &record.beforeContent);
    const std::string text = s == kErrorSuccess ? FormatObjectRecord(record) : std::string();
    if (s == kErrorSuccess)
        s = text.empty() ? kErrorInvalidData
                         : append(std::string(kObjectLine) + " " + number + " " + text);
    if (s != kErrorSuccess) {
        m_writeError = s;
        return s;
    }
    m_entries.push_back(Entry{object, action, kResultPending});
    m_lastResults.emplace_back();
    return kErrorSuccess;
}

void BackupSet::afterChange(AccessBroker& broker, const ChangedObject& object, Status result) {
    const int found = find(object);
    if (found < 0)
        return;
    const auto index = static_cast<std::size_t>(found);
    Entry& entry = m_entries[index];
    const bool itself = Folded(entry.object.path) == Folded(object.path);
    // A key below a kept tree is one step of its deletion: only a failure tells.
    if (!itself && result == kErrorSuccess)
        return;
    entry.result = result;
    writeResult(broker, index);
}

Status BackupSet::writeResult(AccessBroker& broker, std::size_t index) {
    const Entry& entry = m_entries[index];
    ResultRecordOfObject result;
    result.error = entry.result;
    const Status captured =
        Capture(broker, m_content, entry.object, &result.fileAfter, &result.keyAfter);
    if (captured != kErrorSuccess)
        return captured;
    LastResult& last = m_lastResults[index];
    if (result.fileAfter.present) {
        // The closing pass finds most files as their last result left them: no new copy.
        if (last.contents > 0 && result.fileAfter.bytes == last.bytes) {
            result.afterContent = last.content;
        } else {
            std::string name = std::to_string(index + 1) + kAfterSuffix;
            if (last.contents > 0)
                name += "-" + std::to_string(last.contents + 1);
            if (Status s = writeContent(name, result.fileAfter.bytes, &result.afterContent))
                return s;
            ++last.contents;
            last.bytes = result.fileAfter.bytes;
            last.content = result.afterContent;
        }
    }
    const std::string text = FormatObjectResult(entry.object.kind, result);
    if (text.empty())
        return kErrorInvalidData;
    if (text == last.text)
        return kErrorSuccess;
    last.text = text;
    return append(std::string(kResultLine) + " " + std::to_string(index + 1) + " " + text);
}

Status BackupSet::finish(AccessBroker& broker, const UtcTime& finished) {
    Status first = kErrorSuccess;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Status s = writeResult(broker, i);
        if (first == kErrorSuccess)
            first = s;
    }
    if (m_id.empty())
        return kErrorInvalidHandle;
    const Status s = append(std::string(kFinishedLine) + " " + IsoTime(finished));
    return first != kErrorSuccess ? first : s;
}

}  // namespace brenvik
