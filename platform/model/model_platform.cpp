// ModelPlatform's access port, fault injection and construction.
#include "platform/model/model_platform.h"

#include "platform/model/access_check.h"
#include "platform/model/model_state.h"

namespace brenvik::model {

AccessList DefaultAccessList() {
    AccessList list;
    list.present = true;
    for (const char* sid : {kAdministratorsSid, kSystemSid}) {
        AccessEntry entry;
        entry.type = kAccessAllowedAceType;
        entry.mask = kGenericAll;
        entry.sid = sid;
        list.entries.push_back(entry);
    }
    return list;
}

ModelPlatform::ModelPlatform() : m_impl(std::make_unique<Impl>()) {
    m_impl->drives->folder = true;
    addFolder("C:\\");
}

ModelPlatform::~ModelPlatform() = default;

const std::vector<std::string>& ModelPlatform::callerSids() {
    return CallerSids();
}

// ---- AccessPort ----

Status ModelPlatform::Impl::findAccessList(const std::string& objectName, SecurityObjectType type,
                                           AccessList** list) {
    if (type == SecurityObjectType::RegistryKey) {
        std::shared_ptr<KeyNode> node;
        if (Status s = parseKeyObject(objectName, &node))
            return s;
        *list = &node->access;
        return kErrorSuccess;
    }
    if (type == SecurityObjectType::File) {
        const FileLookup found = lookupFile(objectName);
        if (!found.node)
            return found.status;
        *list = &found.node->access;
        return kErrorSuccess;
    }
    return kErrorInvalidParameter;
}

Status ModelPlatform::Impl::reachAccessList(const char* op, const std::string& objectName,
                                            SecurityObjectType type, AccessList** list) {
    securityCalls.push_back(op + (" " + objectName));
    if (Status s = injected(op, objectName))
        return s;
    return findAccessList(objectName, type, list);
}

Status ModelPlatform::readAccessList(const std::string& objectName, SecurityObjectType type,
                                     AccessList* list) {
    AccessList* held = nullptr;
    if (Status s = m_impl->reachAccessList("readAccessList", objectName, type, &held))
        return s;
    *list = *held;
    return kErrorSuccess;
}

Status ModelPlatform::writeAccessList(const std::string& objectName, SecurityObjectType type,
                                      const AccessList& list) {
    AccessList* held = nullptr;
    if (Status s = m_impl->reachAccessList("writeAccessList", objectName, type, &held))
        return s;
    *held = list;
    m_impl->accessWrites.emplace_back(objectName, list);
    return kErrorSuccess;
}

const std::vector<std::pair<std::string, AccessList>>& ModelPlatform::accessWrites() const {
    return m_impl->accessWrites;
}

const std::vector<std::string>& ModelPlatform::securityCalls() const {
    return m_impl->securityCalls;
}

// ---- Faults ----

void ModelPlatform::injectFailure(const std::string& op, const std::string& object, Status code) {
    m_impl->faults.push_back(Fault{op, object, code});
}

void ModelPlatform::clearFailures() {
    m_impl->faults.clear();
}

Status ModelPlatform::Impl::injected(const char* op, const std::string& object) const {
    // Names compare as the platform compares them: without letter case, separators folded.
    const std::string wanted = JoinPath(SplitFilePath(object));
    for (const Fault& fault : faults) {
        if (fault.op != op)
            continue;
        if (fault.object == "*" || EqualsNoCase(JoinPath(SplitFilePath(fault.object)), wanted))
            return fault.code;
    }
    return kErrorSuccess;
}

}  // namespace brenvik::model
