// ModelPlatform's registry: three independent root trees, handles that track granted access.
#include <algorithm>
#include <cstring>

#include "platform/model/access_check.h"
#include "platform/model/model_state.h"

namespace brenvik::model {
namespace {

const char* RootWord(RegKey root) {
    switch (root) {
        case kHKeyLocalMachine:
            return "MACHINE";
        case kHKeyCurrentUser:
            return "CURRENT_USER";
        case kHKeyClassesRoot:
            return "CLASSES_ROOT";
        default:
            return nullptr;
    }
}

// Rights that change a key; a handle for any of them is opened on a link itself.
// KEY_CREATE_LINK, WRITE_OWNER, GENERIC_WRITE and MAXIMUM_ALLOWED by their values.
constexpr std::uint32_t kChangingRights = kKeySetValue | kKeyCreateSubKey | 0x20u | kDelete |
                                          kWriteDac | 0x80000u | 0x40000000u | kGenericAll |
                                          0x2000000u;

bool ForChange(std::uint32_t access) {
    return (access & kChangingRights) != 0;
}

bool HasNul(const std::string& name) {
    return name.find('\0') != std::string::npos;
}

// Links are refused with what Win32 gives a reparse point in the store.
constexpr Status kErrorKeyIsLink = kErrorCantAccessFile;
// Windows gives up on a chain of links this long.
constexpr int kMaxLinkHops = 8;

}  // namespace

std::string ChildObject(const std::string& parent, const std::vector<std::string>& parts) {
    if (parts.empty())
        return parent;
    return parent + "\\" + JoinPath(parts);
}

Status ModelPlatform::Impl::reachKey(RegKey key, std::uint32_t right, const char* op,
                                     OpenKeyRecord* record) const {
    if (Status s = resolveKey(key, record))
        return s;
    return admitKey(*record, right, op);
}

Status ModelPlatform::Impl::admitKey(const OpenKeyRecord& record, std::uint32_t right,
                                     const char* op) const {
    if (!(record.granted & right))
        return kErrorAccessDenied;
    return injected(op, record.objectName);
}

Status ModelPlatform::Impl::reachKeyPath(RegKey parent, const std::string& path, const char* op,
                                         KeyPath* reached) const {
    if (Status s = resolveKey(parent, &reached->from))
        return s;
    reached->parts = SplitKeyPath(path);
    reached->object = ChildObject(reached->from.objectName, reached->parts);
    return injected(op, reached->object);
}

void ModelPlatform::Impl::eraseKey(const std::shared_ptr<KeyNode>& holder,
                                   const std::shared_ptr<KeyNode>& target) {
    auto& siblings = holder->subkeys;
    siblings.erase(std::find(siblings.begin(), siblings.end(), target));
    target->deleted = true;
}

std::shared_ptr<KeyNode> KeyNode::subkey(const std::string& childName) const {
    // The subkeys are sorted: search the run that sorts equal to the name.
    auto it = std::lower_bound(
        subkeys.begin(), subkeys.end(), childName,
        [](const auto& key, const std::string& name) { return LessUpperCase(key->name, name); });
    for (; it != subkeys.end() && !LessUpperCase(childName, (*it)->name); ++it) {
        if (EqualsNoCase((*it)->name, childName))
            return *it;
    }
    return nullptr;
}

std::shared_ptr<KeyNode> KeyNode::addSubkey(const std::string& childName) {
    auto created = std::make_shared<KeyNode>();
    created->name = childName;
    auto before = std::find_if(subkeys.begin(), subkeys.end(), [&](const auto& key) {
        return LessUpperCase(childName, key->name);
    });
    subkeys.insert(before, created);
    return created;
}

ModelValue* KeyNode::value(const std::string& valueName) {
    const auto found = valueIndex.find(FoldName(valueName));
    return found == valueIndex.end() ? nullptr : &values[found->second].second;
}

void KeyNode::setValue(const std::string& valueName, ModelValue value) {
    const auto [at, added] = valueIndex.emplace(FoldName(valueName), values.size());
    if (added)
        values.emplace_back(valueName, std::move(value));
    else
        values[at->second].second = std::move(value);
}

bool KeyNode::eraseValue(const std::string& valueName) {
    const auto found = valueIndex.find(FoldName(valueName));
    if (found == valueIndex.end())
        return false;
    const std::size_t place = found->second;
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(place));
    valueIndex.erase(found);
    for (auto& entry : valueIndex) {
        if (entry.second > place)
            --entry.second;
    }
    return true;
}

std::shared_ptr<KeyNode> ModelPlatform::Impl::rootNode(RegKey root) const {
    switch (root) {
        case kHKeyLocalMachine:
            return machine;
        case kHKeyCurrentUser:
            return currentUser;
        case kHKeyClassesRoot:
            return classesRoot;
        default:
            return nullptr;
    }
}

Status ModelPlatform::Impl::resolveKey(RegKey key, OpenKeyRecord* record) const {
    if (auto root = rootNode(key)) {
        *record = OpenKeyRecord{root, RootWord(key), 0xFFFFFFFFu};
        return kErrorSuccess;
    }
    auto it = keys.find(key);
    if (it == keys.end())
        return kErrorInvalidHandle;
    if (it->second.node->deleted)
        return kErrorKeyDeleted;
    *record = it->second;
    return kErrorSuccess;
}

std::shared_ptr<KeyNode> ModelPlatform::Impl::findKey(const std::shared_ptr<KeyNode>& from,
                                                      const std::vector<std::string>& parts,
                                                      bool followLast) const {
    std::shared_ptr<KeyNode> node = from;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        node = node->subkey(parts[i]);
        if (node && (followLast || i + 1 < parts.size()))
            node = followLink(node);
        if (!node)
            return nullptr;
    }
    return node;
}

std::shared_ptr<KeyNode> ModelPlatform::Impl::followLink(std::shared_ptr<KeyNode> node) const {
    for (int hops = 0; node && node->isLink(); ++hops) {
        if (hops == kMaxLinkHops)
            return nullptr;
        std::shared_ptr<KeyNode> target = rootNode(node->linkRoot);
        for (const std::string& part : SplitKeyPath(node->linkPath)) {
            target = target ? target->subkey(part) : nullptr;
        }
        node = target;
    }
    return node;
}

std::shared_ptr<KeyNode> ModelPlatform::Impl::makeKey(RegKey root, const std::string& path) {
    std::shared_ptr<KeyNode> node = rootNode(root);
    if (!node)
        return nullptr;
    for (const std::string& part : SplitKeyPath(path)) {
        auto next = node->subkey(part);
        if (!next) {
            next = node->addSubkey(part);
        }
        node = next;
    }
    return node;
}

RegKey ModelPlatform::Impl::addHandle(std::shared_ptr<KeyNode> node, std::string objectName,
                                      std::uint32_t granted) {
    const RegKey key = nextKey;
    nextKey += 4;
    keys[key] = OpenKeyRecord{std::move(node), std::move(objectName), granted};
    return key;
}

Status ModelPlatform::Impl::parseKeyObject(const std::string& objectName,
                                           std::shared_ptr<KeyNode>* node) const {
    std::vector<std::string> parts = SplitKeyPath(objectName);
    if (parts.empty())
        return kErrorInvalidParameter;
    std::shared_ptr<KeyNode> root;
    for (RegKey candidate : {kHKeyLocalMachine, kHKeyCurrentUser, kHKeyClassesRoot}) {
        if (EqualsNoCase(parts[0], RootWord(candidate)))
            root = rootNode(candidate);
    }
    if (!root && EqualsNoCase(parts[0], "USERS")) {
        // "USERS\<sid>\...": a hive that is not loaded is a key that is not there.
        if (parts.size() < 2)
            return kErrorInvalidParameter;
        if (EqualsNoCase(parts[1], tokenUser))
            root = currentUser;
        else if (const auto hive = userHives.find(FoldName(parts[1])); hive != userHives.end())
            root = hive->second;
        else
            return kErrorFileNotFound;
        parts.erase(parts.begin());
    }
    if (!root)
        return kErrorInvalidParameter;
    parts.erase(parts.begin());
    *node = findKey(root, parts);
    return *node ? kErrorSuccess : kErrorFileNotFound;
}

// ---- RegistryPort ----

Status ModelPlatform::openKey(RegKey parent, const std::string& path, std::uint32_t access,
                              RegKey* key, OpenMode mode) {
    if (mode == OpenMode::BackupIntent)
        return openKeyBackupIntent(parent, path, access, key);
    *key = kNoKey;
    if (HasNul(path))
        return kErrorInvalidName;
    KeyPath reached;
    if (Status s = m_impl->reachKeyPath(parent, path, "openKey", &reached))
        return s;
    const std::vector<std::string>& parts = reached.parts;
    // An empty path on a root gives the root itself, as RegOpenKeyExW does.
    if (parts.empty() && m_impl->rootNode(parent)) {
        *key = parent;
        return kErrorSuccess;
    }
    // Opened for a change, a link is the key itself, and refused.
    auto node = m_impl->findKey(reached.from.node, parts, !ForChange(access));
    if (!node)
        return kErrorFileNotFound;
    if (node->isLink())
        return kErrorKeyIsLink;
    if (Status s = CheckAccess(node->access, access, ObjectKind::Key))
        return s;
    *key = m_impl->addHandle(node, reached.object, MapGenericRights(access, ObjectKind::Key));
    return kErrorSuccess;
}

Status ModelPlatform::createKey(RegKey parent, const std::string& path, std::uint32_t access,
                                RegKey* key) {
    *key = kNoKey;
    if (HasNul(path))
        return kErrorInvalidName;
    KeyPath reached;
    if (Status s = m_impl->reachKeyPath(parent, path, "createKey", &reached))
        return s;
    const std::vector<std::string>& parts = reached.parts;
    // Check before creating anything so that a refusal leaves the tree unchanged.
    std::shared_ptr<KeyNode> node = reached.from.node;
    std::size_t existing = 0;
    while (existing < parts.size()) {
        auto next = node->subkey(parts[existing]);
        if (!next)
            break;
        // Links on the way are followed; the key itself is opened as it is.
        if (existing + 1 < parts.size()) {
            next = m_impl->followLink(next);
            if (!next)
                return kErrorFileNotFound;
        }
        node = next;
        ++existing;
    }
    if (node->isLink())
        return kErrorKeyIsLink;
    if (existing == parts.size()) {
        if (Status s = CheckAccess(node->access, access, ObjectKind::Key))
            return s;
    } else if (Status s = CheckAccess(node->access, kKeyCreateSubKey, ObjectKind::Key)) {
        return s;
    }
    for (std::size_t i = existing; i < parts.size(); ++i) {
        node = node->addSubkey(parts[i]);
    }
    *key = m_impl->addHandle(node, reached.object, MapGenericRights(access, ObjectKind::Key));
    return kErrorSuccess;
}

Status ModelPlatform::querySubkeyCount(RegKey key, std::uint32_t* count) {
    OpenKeyRecord record;
    if (Status s = m_impl->reachKey(key, kKeyQueryValue, "querySubkeyCount", &record))
        return s;
    *count = static_cast<std::uint32_t>(record.node->subkeys.size());
    return kErrorSuccess;
}

Status ModelPlatform::enumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) {
    OpenKeyRecord record;
    if (Status s = m_impl->resolveKey(key, &record))
        return s;
    if (!name || !size)
        return kErrorInvalidParameter;
    if (Status s = m_impl->admitKey(record, kKeyEnumerateSubKeys, "enumKey"))
        return s;
    if (index >= record.node->subkeys.size())
        return kErrorNoMoreItems;
    const std::string& found = record.node->subkeys[index]->name;
    // The name and its NUL must fit; nothing is written otherwise.
    if (found.size() + 1 > *size)
        return kErrorMoreData;
    std::memcpy(name, found.c_str(), found.size() + 1);
    *size = static_cast<std::uint32_t>(found.size());
    return kErrorSuccess;
}

Status ModelPlatform::queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) {
    OpenKeyRecord record;
    if (Status s = m_impl->resolveKey(key, &record))
        return s;
    if (data && !size)
        return kErrorInvalidParameter;
    if (HasNul(valueName))
        return kErrorInvalidName;
    if (Status s = m_impl->admitKey(record, kKeyQueryValue, "queryValue"))
        return s;
    const ModelValue* found = record.node->value(valueName);
    if (!found)
        return kErrorFileNotFound;
    if (type)
        *type = found->type;
    const auto needed = static_cast<std::uint32_t>(found->data.size());
    if (!data) {
        if (size)
            *size = needed;
        return kErrorSuccess;
    }
    if (*size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    std::copy(found->data.begin(), found->data.end(), data);
    *size = needed;
    return kErrorSuccess;
}

Status ModelPlatform::setValue(RegKey key, const std::string& valueName, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
    OpenKeyRecord record;
    if (Status s = m_impl->resolveKey(key, &record))
        return s;
    if (!data && size)
        return kErrorInvalidParameter;
    if (HasNul(valueName))
        return kErrorInvalidName;
    if (Status s = m_impl->admitKey(record, kKeySetValue, "setValue"))
        return s;
    // Data is kept as given. Win32 takes text here in the ANSI code page and reads it back as
    // UTF-8; the model does not convert, so non-ASCII text written here (only Fix Desktop's
    // GBK display name) reads back as the bytes written, which is what its tests compare.
    ModelValue value{type, std::vector<std::uint8_t>(data, data + size)};
    record.node->setValue(valueName, std::move(value));
    return kErrorSuccess;
}

Status ModelPlatform::setText(RegKey key, const std::string& valueName, std::uint32_t type,
                              const std::string& text) {
    // The model keeps text as UTF-8 with its terminator, as putString stores it.
    const std::string data = text + '\0';
    return setValue(key, valueName, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                    static_cast<std::uint32_t>(data.size()));
}

Status ModelPlatform::enumValueName(RegKey key, std::uint32_t index, std::string* name) {
    name->clear();
    OpenKeyRecord record;
    if (Status s = m_impl->reachKey(key, kKeyQueryValue, "enumValueName", &record))
        return s;
    if (index >= record.node->values.size())
        return kErrorNoMoreItems;
    *name = record.node->values[index].first;
    return kErrorSuccess;
}

Status ModelPlatform::deleteValue(RegKey key, const std::string& valueName) {
    OpenKeyRecord record;
    if (Status s = m_impl->resolveKey(key, &record))
        return s;
    if (HasNul(valueName))
        return kErrorInvalidName;
    if (Status s = m_impl->admitKey(record, kKeySetValue, "deleteValue"))
        return s;
    return record.node->eraseValue(valueName) ? kErrorSuccess : kErrorFileNotFound;
}

Status ModelPlatform::deleteKey(RegKey parent, const std::string& path, OpenMode mode) {
    if (mode == OpenMode::BackupIntent && m_impl->backupPrivilegesEnabled)
        return m_impl->deleteKey(parent, path, "deleteKeyForBackup", false);
    return m_impl->deleteKey(parent, path, "deleteKey", true);
}

Status ModelPlatform::Impl::deleteKey(RegKey parent, const std::string& path, const char* op,
                                      bool checkList) {
    if (HasNul(path))
        return kErrorInvalidName;
    KeyPath reached;
    if (Status s = reachKeyPath(parent, path, op, &reached))
        return s;
    std::vector<std::string>& parts = reached.parts;
    // Roots cannot be deleted; the model does not delete a key through its own handle.
    if (parts.empty())
        return kErrorAccessDenied;
    const std::string last = parts.back();
    parts.pop_back();
    std::shared_ptr<KeyNode> holder = findKey(reached.from.node, parts);
    std::shared_ptr<KeyNode> target = holder ? holder->subkey(last) : nullptr;
    if (!target)
        return kErrorFileNotFound;
    // Deleted through a handle on its own name: a link is refused, never followed.
    if (target->isLink())
        return kErrorKeyIsLink;
    // Windows refuses to delete a key that still has subkeys.
    if (!target->subkeys.empty())
        return kErrorAccessDenied;
    if (checkList) {
        if (Status s = CheckAccess(target->access, kDelete, ObjectKind::Key))
            return s;
    }
    eraseKey(holder, target);
    return kErrorSuccess;
}

void ModelPlatform::closeKey(RegKey key) {
    m_impl->keys.erase(key);
}

// ---- Building and inspecting ----

void ModelPlatform::addKey(RegKey root, const std::string& path) {
    m_impl->makeKey(root, path);
}

void ModelPlatform::putValue(RegKey root, const std::string& path, const std::string& name,
                             std::uint32_t type, std::vector<std::uint8_t> data) {
    auto node = m_impl->makeKey(root, path);
    if (!node)
        return;
    node->setValue(name, ModelValue{type, std::move(data)});
}

void ModelPlatform::putString(RegKey root, const std::string& path, const std::string& name,
                              const std::string& text, std::uint32_t type) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    putValue(root, path, name, type, std::move(data));
}

void ModelPlatform::putDword(RegKey root, const std::string& path, const std::string& name,
                             std::uint32_t value) {
    std::vector<std::uint8_t> data(4);
    for (int i = 0; i < 4; ++i) data[i] = static_cast<std::uint8_t>(value >> (8 * i));
    putValue(root, path, name, kRegDword, std::move(data));
}

void ModelPlatform::setKeyAccessList(RegKey root, const std::string& path, const AccessList& list) {
    if (auto node = m_impl->makeKey(root, path))
        node->access = list;
}

void ModelPlatform::addKeyLink(RegKey root, const std::string& path, RegKey targetRoot,
                               const std::string& targetPath) {
    if (auto node = m_impl->makeKey(root, path)) {
        node->linkRoot = targetRoot;
        node->linkPath = targetPath;
    }
}

bool ModelPlatform::hasKey(RegKey root, const std::string& path) const {
    auto rootNode = m_impl->rootNode(root);
    return rootNode && m_impl->findKey(rootNode, SplitKeyPath(path));
}

std::optional<ModelValue> ModelPlatform::value(RegKey root, const std::string& path,
                                               const std::string& name) const {
    auto rootNode = m_impl->rootNode(root);
    auto node = rootNode ? m_impl->findKey(rootNode, SplitKeyPath(path)) : nullptr;
    const ModelValue* found = node ? node->value(name) : nullptr;
    if (!found)
        return std::nullopt;
    return *found;
}

std::vector<std::string> ModelPlatform::subkeyNames(RegKey root, const std::string& path) const {
    std::vector<std::string> names;
    auto rootNode = m_impl->rootNode(root);
    auto node = rootNode ? m_impl->findKey(rootNode, SplitKeyPath(path)) : nullptr;
    if (!node)
        return names;
    for (const auto& key : node->subkeys) names.push_back(key->name);
    return names;
}

std::vector<std::string> ModelPlatform::valueNames(RegKey root, const std::string& path) const {
    std::vector<std::string> names;
    auto rootNode = m_impl->rootNode(root);
    auto node = rootNode ? m_impl->findKey(rootNode, SplitKeyPath(path)) : nullptr;
    if (!node)
        return names;
    for (const auto& entry : node->values) names.push_back(entry.first);
    return names;
}

AccessList ModelPlatform::keyAccessList(RegKey root, const std::string& path) const {
    auto rootNode = m_impl->rootNode(root);
    auto node = rootNode ? m_impl->findKey(rootNode, SplitKeyPath(path)) : nullptr;
    return node ? node->access : AccessList{};
}

std::size_t ModelPlatform::openKeyCount() const {
    return m_impl->keys.size();
}

}  // namespace brenvik::model
