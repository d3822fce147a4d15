#include "engine/backup/object_state.h"

#include <algorithm>

#include "engine/backup/key_tree.h"
#include "engine/base/text_rules.h"
#include "engine/change/object_grant.h"
#include "engine/change/sddl.h"
#include "engine/rules/task_xml.h"

namespace brenvik {
namespace {

// Deeper than any registry holds (512 levels); a cycle cannot occur, a runaway still ends.
constexpr int kMaxKeyDepth = 512;

bool IsAbsent(Status status) {
    return status == kErrorFileNotFound || status == kErrorPathNotFound;
}

Status ReadSddl(AccessReader& access, const std::string& object, SecurityObjectType type,
                std::string* sddl) {
    // A key without a name of its own (a merged view) has no one list to keep.
    if (object.empty())
        return kErrorInvalidParameter;
    AccessList list;
    if (Status s = access.readAccessList(object, type, &list))
        return s;
    *sddl = AccessListToSddl(list);
    // A list this form cannot carry could not be put back.
    return sddl->empty() ? kErrorInvalidData : kErrorSuccess;
}

Status ReadValues(ContentPort& content, RegKey key, std::vector<ValueEntry>* values) {
    for (std::uint32_t i = 0;; ++i) {
        ValueEntry value;
        const Status s = content.enumValue(key, i, &value);
        if (s == kErrorNoMoreItems)
            return kErrorSuccess;
        if (s != kErrorSuccess)
            return s;
        values->push_back(std::move(value));
    }
}

Status ReadSubkeyNames(RegistryReader& registry, RegKey key, std::vector<std::string>* names) {
    for (std::uint32_t i = 0;; ++i) {
        char buffer[1024];  // any name a key can have, in UTF-8
        std::uint32_t size = sizeof buffer;
        const Status s = registry.enumKey(key, i, buffer, &size);
        if (s == kErrorNoMoreItems)
            return kErrorSuccess;
        if (s != kErrorSuccess)
            return s;
        names->emplace_back(buffer, size);
    }
}

Status CaptureKey(AccessBroker& broker, ContentPort& content, RegKey root, const std::string& path,
                  int depth, KeyState* state) {
    if (depth > kMaxKeyDepth)
        return kErrorInvalidData;
    const PortReads& ports = broker.reads();
    std::vector<std::string> names;
    {
        ScopedKey key(ports.registry);
        const Status opened = broker.openKey(root, path, kKeyRead, &key);
        if (IsAbsent(opened))
            return kErrorSuccess;
        if (opened != kErrorSuccess)
            return opened;
        state->present = true;
        if (Status s = ReadValues(content, key.get(), &state->values))
            return s;
        if (Status s = ReadSubkeyNames(ports.registry, key.get(), &names))
            return s;
    }
    const std::string object = KeyObjectName(ports.access, root, path);
    if (Status s = ReadSddl(ports.access, object, SecurityObjectType::RegistryKey, &state->sddl))
        return s;
    for (const std::string& name : names) {
        KeyState child;
        child.name = name;
        if (Status s = CaptureKey(broker, content, root, path + "\\" + name, depth + 1, &child))
            return s;
        // A subkey deleted between the listing and its reading is simply not there.
        if (child.present)
            state->subkeys.push_back(std::move(child));
    }
    return kErrorSuccess;
}

std::string Folded(std::string name) {
    LowercaseAscii(name);
    return name;
}

template <typename T, typename Key>
std::vector<const T*> SortedBy(const std::vector<T>& items, Key key) {
    std::vector<const T*> sorted;
    for (const T& item : items) sorted.push_back(&item);
    std::sort(sorted.begin(), sorted.end(),
              [&](const T* a, const T* b) { return Folded(key(*a)) < Folded(key(*b)); });
    return sorted;
}

bool SameValues(const std::vector<ValueEntry>& a, const std::vector<ValueEntry>& b) {
    if (a.size() != b.size())
        return false;
    const auto name = [](const ValueEntry& v) { return v.name; };
    const auto sa = SortedBy(a, name);
    const auto sb = SortedBy(b, name);
    for (std::size_t i = 0; i < sa.size(); ++i) {
        if (Folded(sa[i]->name) != Folded(sb[i]->name) || sa[i]->type != sb[i]->type ||
            sa[i]->data != sb[i]->data)
            return false;
    }
    return true;
}

Status CreateTree(AccessBroker& broker, ContentPort& content, RegKey root, const std::string& path,
                  const KeyState& state) {
    {
        ScopedKey key(broker.reads().registry);
        if (Status s = broker.createKey(root, path, kKeyAllAccess, &key))
            return s;
        for (const ValueEntry& value : state.values) {
            if (Status s = content.setValueBytes(key.get(), value.name, value.type, value.data))
                return s;
        }
    }
    for (const KeyState& child : state.subkeys) {
        if (Status s = CreateTree(broker, content, root, path + "\\" + child.name, child))
            return s;
    }
    return kErrorSuccess;
}

// Parents first: on Windows a parent's list passes its inheritable entries down, which the
// children's own lists then already hold.
Status WriteLists(AccessPort& access, RegKey root, const std::string& path, const KeyState& state) {
    AccessList list;
    if (!AccessListFromSddl(state.sddl, &list))
        return kErrorInvalidData;
    const std::string object = KeyObjectName(access, root, path);
    if (object.empty())
        return kErrorInvalidParameter;
    if (Status s = access.writeAccessList(object, SecurityObjectType::RegistryKey, list))
        return s;
    for (const KeyState& child : state.subkeys) {
        if (Status s = WriteLists(access, root, path + "\\" + child.name, child))
            return s;
    }
    return kErrorSuccess;
}

}  // namespace

Status CaptureTask(AccessBroker& broker, const std::string& name, FileState* state) {
    *state = FileState{};
    TaskDefinition task;
    const Status s = broker.reads().tasks.readTask(name, &task);
    if (IsAbsent(s))
        return kErrorSuccess;
    if (s != kErrorSuccess)
        return s;
    state->present = true;
    state->bytes = std::move(task.xml);
    return kErrorSuccess;
}

Status PutBackTask(AccessBroker& broker, const std::string& name, const FileState& state) {
    if (!state.present) {
        FileState now;
        if (Status s = CaptureTask(broker, name, &now))
            return s;
        return now.present ? broker.deleteTask(name, now.bytes) : kErrorSuccess;
    }
    if (Status s = broker.registerTask(name, state.bytes))
        return s;
    // The scheduler writes a definition anew from what it parsed: one that lost or changed an
    // action is no restore, and is not reported as one.
    FileState now;
    if (Status s = CaptureTask(broker, name, &now))
        return s;
    if (!now.present || ExecActionsInXml(now.bytes) != ExecActionsInXml(state.bytes))
        return kErrorTaskNotAsKept;
    return kErrorSuccess;
}

Status CaptureFile(AccessBroker& broker, ContentPort&, const std::string& path, FileState* state) {
    *state = FileState{};
    AccessList list;
    const Status read = broker.captureFile(path, &state->bytes, &state->attributes, &list);
    if (IsAbsent(read))
        return kErrorSuccess;
    if (read != kErrorSuccess)
        return read;
    state->present = true;
    state->sddl = AccessListToSddl(list);
    // A list this form cannot carry could not be put back.
    return state->sddl.empty() ? kErrorInvalidData : kErrorSuccess;
}

Status CaptureKeyTree(AccessBroker& broker, ContentPort& content, RegKey root,
                      const std::string& path, KeyState* state) {
    *state = KeyState{};
    return CaptureKey(broker, content, root, path, 0, state);
}

bool SameContent(const FileState& a, const FileState& b) {
    return a.present == b.present && (!a.present || a.bytes == b.bytes);
}

bool SameContent(const KeyState& a, const KeyState& b) {
    if (a.present != b.present)
        return false;
    if (!a.present)
        return true;
    if (!SameValues(a.values, b.values) || a.subkeys.size() != b.subkeys.size())
        return false;
    const auto name = [](const KeyState& k) { return k.name; };
    const auto sa = SortedBy(a.subkeys, name);
    const auto sb = SortedBy(b.subkeys, name);
    for (std::size_t i = 0; i < sa.size(); ++i) {
        if (Folded(sa[i]->name) != Folded(sb[i]->name) || !SameContent(*sa[i], *sb[i]))
            return false;
    }
    return true;
}

Status PutBackFile(AccessBroker& broker, ContentPort&, const std::string& path,
                   const FileState& state) {
    if (!state.present) {
        const Status s = broker.deleteFile(path);
        return IsAbsent(s) ? kErrorSuccess : s;
    }
    AccessList list;
    if (!AccessListFromSddl(state.sddl, &list))
        return kErrorInvalidData;
    return broker.putBackFile(path, state.bytes, list, state.attributes);
}

Status PutBackKeyTree(AccessBroker& broker, ContentPort& content, AccessPort& access, RegKey root,
                      const std::string& path, const KeyState& state) {
    const Status deleted = DeleteKeyTree(broker, root, path);
    if (deleted != kErrorSuccess && !IsAbsent(deleted))
        return deleted;
    if (!state.present)
        return kErrorSuccess;
    if (Status s = CreateTree(broker, content, root, path, state))
        return s;
    return WriteLists(access, root, path, state);
}

}  // namespace brenvik
