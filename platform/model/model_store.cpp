// ModelPlatform's store: the program's data folder as a map of paths to bytes, with the
// flaws of what others planted there.
#include "platform/model/model_state.h"

namespace brenvik::model {
namespace {

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// True when path is folder or below it; every path is below the data folder "".
bool IsWithin(const std::string& path, const std::string& folder) {
    if (folder.empty())
        return true;
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '\\');
}

// The data folder, then each folder down to this one.
std::vector<std::string> Levels(const std::string& folder) {
    std::vector<std::string> levels{std::string()};
    for (std::size_t at = 0; !folder.empty();) {
        const std::size_t slash = folder.find('\\', at);
        levels.push_back(folder.substr(0, slash));
        if (slash == std::string::npos)
            break;
        at = slash + 1;
    }
    return levels;
}

}  // namespace

Status ModelPlatform::Impl::storeReach(const char* op, const std::string& path) const {
    if (Status s = injected(op, path))
        return s;
    for (const auto& [folder, flaw] : foreignStoreFolders) {
        if (flaw == StoreFlaw::RefusesAdministrators && IsWithin(path, folder) && path != folder)
            return kErrorAccessDenied;
    }
    return kErrorSuccess;
}

void ModelPlatform::Impl::moveStoreFolderAside(const std::string& folder) {
    const std::string aside = (folder.empty() ? std::string("..\\Brenvik") : folder) +
                              ".untrusted-" + std::to_string(++storeFoldersMovedAside);
    const std::size_t cut = folder.empty() ? 0 : folder.size() + 1;
    std::map<std::string, std::string> kept;
    std::map<std::string, StoreFlaw> keptFlaws;
    for (auto it = store.begin(); it != store.end();) {
        if (it->first.compare(0, 3, "..\\") == 0 || !IsWithin(it->first, folder)) {
            ++it;
            continue;
        }
        const std::string moved = aside + "\\" + it->first.substr(cut);
        kept[moved] = std::move(it->second);
        const auto flaw = storeFileFlaws.find(it->first);
        if (flaw != storeFileFlaws.end()) {
            keptFlaws[moved] = flaw->second;
            storeFileFlaws.erase(flaw);
        }
        it = store.erase(it);
    }
    store.merge(kept);
    storeFileFlaws.merge(keptFlaws);
    // What was below it went with it.
    for (auto it = storeFolders.begin(); it != storeFolders.end();)
        it = IsWithin(*it, folder) ? storeFolders.erase(it) : std::next(it);
    for (auto it = foreignStoreFolders.begin(); it != foreignStoreFolders.end();)
        it = IsWithin(it->first, folder) ? foreignStoreFolders.erase(it) : std::next(it);
}

Status ModelPlatform::secureFolder(const std::string& folder, bool* trusted) {
    if (Status s = m_impl->injected("secureFolder", folder))
        return s;
    *trusted = true;
    for (const std::string& level : Levels(folder)) {
        if (m_impl->foreignStoreFolders.count(level)) {
            m_impl->moveStoreFolderAside(level);
            *trusted = false;
        }
        if (!level.empty())
            m_impl->storeFolders.insert(level);
    }
    return kErrorSuccess;
}

Status ModelPlatform::writeDurably(const std::string& path, const std::string& bytes) {
    if (Status s = m_impl->storeReach("writeDurably", path))
        return s;
    const std::string parent = ParentOf(path);
    if (!m_impl->storeFolders.count(parent) && !m_impl->foreignStoreFolders.count(parent))
        return kErrorPathNotFound;
    if (!m_impl->store.emplace(path, bytes).second)
        return kErrorFileExists;
    return kErrorSuccess;
}

Status ModelPlatform::appendDurably(const std::string& path, const std::string& bytes) {
    if (Status s = m_impl->storeReach("appendDurably", path))
        return s;
    const auto it = m_impl->store.find(path);
    if (it == m_impl->store.end())
        return kErrorFileNotFound;
    it->second += bytes;
    return kErrorSuccess;
}

Status ModelPlatform::readFile(const std::string& path, std::string* bytes) {
    bytes->clear();
    if (Status s = m_impl->storeReach("readFile", path))
        return s;
    const auto it = m_impl->store.find(path);
    if (it == m_impl->store.end())
        return kErrorFileNotFound;
    const auto flaw = m_impl->storeFileFlaws.find(path);
    if (flaw != m_impl->storeFileFlaws.end())
        return flaw->second == StoreFlaw::RefusesAdministrators ? kErrorAccessDenied
                                                                : kErrorCantAccessFile;
    if (it->second.size() > kStoreFileLimit)
        return kErrorFileTooLarge;
    *bytes = it->second;
    return kErrorSuccess;
}

Status ModelPlatform::listFiles(const std::string& folder, std::vector<std::string>* names) {
    names->clear();
    if (Status s = m_impl->storeReach("listFiles", folder))
        return s;
    const auto foreign = m_impl->foreignStoreFolders.find(folder);
    if (foreign != m_impl->foreignStoreFolders.end() &&
        foreign->second == StoreFlaw::RefusesAdministrators)
        return kErrorAccessDenied;
    // A planted folder exists with whatever was planted in it.
    bool exists =
        m_impl->storeFolders.count(folder) || foreign != m_impl->foreignStoreFolders.end();
    for (const auto& [path, bytes] : m_impl->store) {
        exists = exists || (IsWithin(path, folder) && path != folder);
        if (ParentOf(path) == folder)
            names->push_back(path.substr(folder.size() + 1));
    }
    return exists ? kErrorSuccess : kErrorPathNotFound;
}

Status ModelPlatform::removeFile(const std::string& path) {
    if (Status s = m_impl->storeReach("removeFile", path))
        return s;
    const auto flaw = m_impl->storeFileFlaws.find(path);
    if (flaw != m_impl->storeFileFlaws.end() &&
        (flaw->second == StoreFlaw::ReadOnly || flaw->second == StoreFlaw::RefusesAdministrators))
        return kErrorAccessDenied;
    if (!m_impl->store.erase(path))
        return kErrorFileNotFound;
    m_impl->storeFileFlaws.erase(path);
    return kErrorSuccess;
}

void ModelPlatform::putForeignStoreFolder(const std::string& folder, StoreFlaw flaw) {
    m_impl->storeFolders.erase(folder);
    m_impl->foreignStoreFolders[folder] = flaw;
}

const std::map<std::string, std::string>& ModelPlatform::storeFiles() const {
    return m_impl->store;
}

void ModelPlatform::putStoreFile(const std::string& path, const std::string& bytes,
                                 StoreFlaw flaw) {
    m_impl->store[path] = bytes;
    if (flaw == StoreFlaw::None)
        m_impl->storeFileFlaws.erase(path);
    else
        m_impl->storeFileFlaws[path] = flaw;
}

}  // namespace brenvik::model
