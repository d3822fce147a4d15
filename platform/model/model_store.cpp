// ModelPlatform's store: the program's data folder as a map of paths to bytes.
#include "platform/model/model_state.h"

namespace brenvik::model {
namespace {

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

Status ModelPlatform::secureFolder(const std::string& folder, bool* trusted) {
    if (Status s = m_impl->injected("secureFolder", folder))
        return s;
    *trusted = m_impl->foreignStoreFolders.erase(folder) == 0;
    m_impl->storeFolders.insert(folder);
    return kErrorSuccess;
}

Status ModelPlatform::writeDurably(const std::string& path, const std::string& bytes) {
    if (Status s = m_impl->injected("writeDurably", path))
        return s;
    if (!m_impl->storeFolders.count(ParentOf(path)))
        return kErrorPathNotFound;
    if (!m_impl->store.emplace(path, bytes).second)
        return kErrorFileExists;
    return kErrorSuccess;
}

Status ModelPlatform::appendDurably(const std::string& path, const std::string& bytes) {
    if (Status s = m_impl->injected("appendDurably", path))
        return s;
    const auto it = m_impl->store.find(path);
    if (it == m_impl->store.end())
        return kErrorFileNotFound;
    it->second += bytes;
    return kErrorSuccess;
}

Status ModelPlatform::readFile(const std::string& path, std::string* bytes) {
    const auto it = m_impl->store.find(path);
    if (it == m_impl->store.end())
        return kErrorFileNotFound;
    *bytes = it->second;
    return kErrorSuccess;
}

Status ModelPlatform::listFiles(const std::string& folder, std::vector<std::string>* names) {
    names->clear();
    if (!m_impl->storeFolders.count(folder) && !m_impl->foreignStoreFolders.count(folder))
        return kErrorPathNotFound;
    for (const auto& [path, bytes] : m_impl->store) {
        if (ParentOf(path) == folder)
            names->push_back(path.substr(folder.size() + 1));
    }
    return kErrorSuccess;
}

Status ModelPlatform::removeFile(const std::string& path) {
    if (Status s = m_impl->injected("removeFile", path))
        return s;
    return m_impl->store.erase(path) ? kErrorSuccess : kErrorFileNotFound;
}

void ModelPlatform::putForeignStoreFolder(const std::string& folder) {
    m_impl->storeFolders.erase(folder);
    m_impl->foreignStoreFolders.insert(folder);
}

const std::map<std::string, std::string>& ModelPlatform::storeFiles() const {
    return m_impl->store;
}

void ModelPlatform::putStoreFile(const std::string& path, const std::string& bytes) {
    m_impl->store[path] = bytes;
}

}  // namespace brenvik::model
