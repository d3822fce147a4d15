#include "engine/backup/backup_progress.h"

#include <cstdlib>

#include "engine/base/text_lines.h"

namespace brenvik {
namespace {

const char* MarkName(RestoreMark mark) {
    return mark == RestoreMark::Begun ? kBegunLine : kDoneLine;
}

// "begun 3 {...}" -> the mark, 3 and the object's identity; false for anything else.
bool SplitProgressLine(const std::string& line, RestoreMark* mark, std::size_t* number,
                       std::string* identity) {
    const std::size_t space = line.find(' ');
    if (space == std::string::npos)
        return false;
    const std::string kind = line.substr(0, space);
    if (kind == kBegunLine)
        *mark = RestoreMark::Begun;
    else if (kind == kDoneLine)
        *mark = RestoreMark::Done;
    else
        return false;
    const char* start = line.c_str() + space + 1;
    if (*start < '1' || *start > '9')
        return false;
    char* end = nullptr;
    *number = std::strtoul(start, &end, 10);
    if (*end != ' ')
        return false;
    *identity = line.substr(static_cast<std::size_t>(end - line.c_str()) + 1);
    return true;
}

}  // namespace

std::string ProgressPath(const std::string& id) {
    return std::string(kBackupsFolder) + "\\" + id + "\\" + kProgressName;
}

void ParseProgress(const std::string& text, StoredSet* set) {
    for (const std::string& line : SplitLines(text)) {
        RestoreMark mark = RestoreMark::None;
        std::size_t number = 0;
        std::string identity;
        StoredObject* object = nullptr;
        if (SplitProgressLine(line, &mark, &number, &identity)) {
            for (StoredObject& each : set->objects) {
                if (each.number == number) {
                    object = &each;
                    break;
                }
            }
        }
        // The number alone could name another object in a set whose lines were torn: the
        // object itself must match too.
        if (object == nullptr || identity != FormatObjectIdentity(object->record.object)) {
            ++set->progressUnreadable;
            continue;
        }
        object->mark = mark;
    }
}

RestoreProgress::RestoreProgress(StorePort& store, const StoredSet& set)
    : m_store(store), m_set(set), m_path(ProgressPath(set.header.id)) {
    m_exists = set.hasProgress;
    m_refused = set.progressError != kErrorSuccess;
    for (const StoredObject& object : set.objects) m_marks.push_back(object.mark);
}

std::size_t RestoreProgress::indexOf(const StoredObject& object) const {
    return static_cast<std::size_t>(&object - m_set.objects.data());
}

bool RestoreProgress::underway(const StoredObject& object) const {
    const std::size_t index = indexOf(object);
    return index < m_marks.size() && m_marks[index] == RestoreMark::Begun;
}

Status RestoreProgress::append(RestoreMark mark, const StoredObject& object) {
    const std::size_t index = indexOf(object);
    if (index >= m_marks.size())
        return kErrorInvalidParameter;
    const std::string identity = FormatObjectIdentity(object.record.object);
    if (identity.empty())
        return kErrorInvalidData;
    const std::string line =
        std::string(MarkName(mark)) + " " + std::to_string(object.number) + " " + identity + "\n";
    Status s = kErrorSuccess;
    if (m_exists) {
        s = m_store.appendDurably(m_path, line);
    } else {
        // What the store refused is nothing of ours to read or add to; the restore's own
        // record takes its place.
        if (m_refused) {
            if (Status r = m_store.removeFile(m_path))
                return r;
            m_refused = false;
        }
        s = m_store.writeDurably(m_path, line);
        m_exists = s == kErrorSuccess;
    }
    if (s == kErrorSuccess)
        m_marks[index] = mark;
    return s;
}

Status RestoreProgress::begin(const StoredObject& object) {
    return append(RestoreMark::Begun, object);
}

Status RestoreProgress::done(const StoredObject& object) {
    return append(RestoreMark::Done, object);
}

Status RestoreProgress::finish() {
    if (!m_exists)
        return kErrorSuccess;
    for (const RestoreMark mark : m_marks) {
        if (mark == RestoreMark::Begun)
            return kErrorSuccess;
    }
    const Status s = m_store.removeFile(m_path);
    if (s == kErrorSuccess)
        m_exists = false;
    return s;
}

}  // namespace brenvik
