#include "bench/call_tally.h"

namespace brenvik::bench {

const char* PortOpName(PortOp op) {
    static const char* const kNames[] = {
        "openKey",           "createKey",          "querySubkeyCount",
        "enumKey",           "queryValue",         "setValue",
        "deleteKey",         "closeKey",           "findFirst",
        "findNext",          "findClose",          "getAttributes",
        "setAttributes",     "deleteFile",         "getLinkCount",
        "readLinkArguments", "writeLinkArguments", "readAccessList",
        "writeAccessList"};
    static_assert(sizeof kNames / sizeof kNames[0] == static_cast<std::size_t>(PortOp::Count));
    return kNames[static_cast<std::size_t>(op)];
}

Status TallyingPorts::openKey(RegKey parent, const std::string& path, std::uint32_t access,
                              RegKey* key) {
    return timed(PortOp::OpenKey,
                 [&] { return m_inner.registry.openKey(parent, path, access, key); });
}

Status TallyingPorts::createKey(RegKey parent, const std::string& path, std::uint32_t access,
                                RegKey* key) {
    return timed(PortOp::CreateKey,
                 [&] { return m_inner.registry.createKey(parent, path, access, key); });
}

Status TallyingPorts::querySubkeyCount(RegKey key, std::uint32_t* count) {
    return timed(PortOp::QuerySubkeyCount,
                 [&] { return m_inner.registry.querySubkeyCount(key, count); });
}

Status TallyingPorts::enumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) {
    return timed(PortOp::EnumKey, [&] { return m_inner.registry.enumKey(key, index, name, size); });
}

Status TallyingPorts::queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) {
    return timed(PortOp::QueryValue,
                 [&] { return m_inner.registry.queryValue(key, valueName, type, data, size); });
}

Status TallyingPorts::setValue(RegKey key, const std::string& valueName, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
    return timed(PortOp::SetValue,
                 [&] { return m_inner.registry.setValue(key, valueName, type, data, size); });
}

Status TallyingPorts::deleteKey(RegKey parent, const std::string& path) {
    return timed(PortOp::DeleteKey, [&] { return m_inner.registry.deleteKey(parent, path); });
}

void TallyingPorts::closeKey(RegKey key) {
    timed(PortOp::CloseKey, [&] { m_inner.registry.closeKey(key); });
}

FindHandle TallyingPorts::findFirst(const std::string& pattern, FindEntry* entry) {
    return timed(PortOp::FindFirst, [&] { return m_inner.files.findFirst(pattern, entry); });
}

bool TallyingPorts::findNext(FindHandle handle, FindEntry* entry) {
    return timed(PortOp::FindNext, [&] { return m_inner.files.findNext(handle, entry); });
}

void TallyingPorts::findClose(FindHandle handle) {
    timed(PortOp::FindClose, [&] { m_inner.files.findClose(handle); });
}

std::uint32_t TallyingPorts::getAttributes(const std::string& path) {
    return timed(PortOp::GetAttributes, [&] { return m_inner.files.getAttributes(path); });
}

bool TallyingPorts::setAttributes(const std::string& path, std::uint32_t attributes) {
    return timed(PortOp::SetAttributes,
                 [&] { return m_inner.files.setAttributes(path, attributes); });
}

bool TallyingPorts::deleteFile(const std::string& path) {
    return timed(PortOp::DeleteFile, [&] { return m_inner.files.deleteFile(path); });
}

Status TallyingPorts::getLinkCount(const std::string& path, std::uint32_t* count) {
    return timed(PortOp::GetLinkCount, [&] { return m_inner.files.getLinkCount(path, count); });
}

std::string TallyingPorts::readLinkArguments(const std::string& linkPath) {
    return timed(PortOp::ReadLinkArguments,
                 [&] { return m_inner.shortcuts.readLinkArguments(linkPath); });
}

bool TallyingPorts::writeLinkArguments(const std::string& linkPath, const std::string& arguments) {
    return timed(PortOp::WriteLinkArguments,
                 [&] { return m_inner.shortcuts.writeLinkArguments(linkPath, arguments); });
}

Status TallyingPorts::readAccessList(const std::string& objectName, SecurityObjectType type,
                                     AccessList* list) {
    return timed(PortOp::ReadAccessList,
                 [&] { return m_inner.access.readAccessList(objectName, type, list); });
}

Status TallyingPorts::writeAccessList(const std::string& objectName, SecurityObjectType type,
                                      const AccessList& list) {
    return timed(PortOp::WriteAccessList,
                 [&] { return m_inner.access.writeAccessList(objectName, type, list); });
}

}  // namespace brenvik::bench
