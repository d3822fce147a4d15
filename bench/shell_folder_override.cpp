#include "bench/shell_folder_override.h"

#include "bench/paths.h"

namespace brenvik::bench {

ShellFolderOverride::ShellFolderOverride(const char* valueName, const std::string& folder)
    : m_valueName(valueName) {
    m_status = RegCreateKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, nullptr, 0,
                               KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, m_key.put(), nullptr);
    if (m_status != ERROR_SUCCESS)
        return;
    DWORD size = 0;
    if (RegQueryValueExA(m_key.get(), valueName, nullptr, &m_previousType, nullptr, &size) ==
        ERROR_SUCCESS) {
        m_previousData.resize(size);
        m_hadValue = RegQueryValueExA(m_key.get(), valueName, nullptr, &m_previousType,
                                      m_previousData.data(), &size) == ERROR_SUCCESS;
        m_previousData.resize(size);
    }
    m_status = RegSetValueExA(m_key.get(), valueName, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(folder.c_str()),
                              static_cast<DWORD>(folder.size() + 1));
}

ShellFolderOverride::~ShellFolderOverride() {
    if (!m_key)
        return;
    if (!m_hadValue) {
        RegDeleteValueA(m_key.get(), m_valueName.c_str());
        return;
    }
    RegSetValueExA(m_key.get(), m_valueName.c_str(), 0, m_previousType, m_previousData.data(),
                   static_cast<DWORD>(m_previousData.size()));
}

}  // namespace brenvik::bench
