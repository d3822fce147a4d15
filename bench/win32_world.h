// A profile laid out in the real system for the life of the object: .lnk files in scratch
// Desktop, Quick Launch (with its taskbar pins), Start Menu, Startup and Public Desktop folders,
// the (User) Shell Folders values pointed at them, name space entries with their classes
// under HKEY_LOCAL_MACHINE, refusing ones locked for real, the launch values, and the tasks
// (under Wine).
// (Wine running as root reads a locked file all the same: there only the keys refuse.)
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bench/profile.h"
#include "tests/support/win32_world.h"

namespace brenvik::bench {

// Deletes every name space entry and class whose name starts with kBenchClassPrefix, and
// every launch key and startup value named with kBenchNamePrefix or marked with it, and the
// benchmark's task folder (left over by an interrupted run too, locked or not), and nothing
// else. Returns how many keys, values and folders it deleted.
std::size_t RemoveBenchKeys();

class Win32World {
public:
    explicit Win32World(const Profile& profile);
    // The members go in reverse order: keys, Shell Folders values, folders, COM.
    ~Win32World() = default;
    Win32World(const Win32World&) = delete;
    Win32World& operator=(const Win32World&) = delete;

    // Empty when everything was made; else what failed.
    const std::string& error() const { return m_error; }
    const std::string& desktop() const { return m_desktop; }
    const std::string& quickLaunch() const { return m_quickLaunch; }

private:
    // Balances the CoInitialize this object made.
    struct ComScope {
        ComScope();
        ~ComScope();
        HRESULT result;
    };
    // Removes the benchmark's keys when the world goes, even a half-made one.
    struct KeySweep {
        KeySweep() { RemoveBenchKeys(); }
        ~KeySweep() { RemoveBenchKeys(); }
    };

    bool makeFolders();
    // The folder of a profile link.
    std::string linkFolder(const ProfileLink& link) const;
    bool pointShellFolders();
    bool makeLinks(const Profile& profile);
    // Gives each refusing shortcut the refusing list, once every copy has been made.
    bool lockLinks(const Profile& profile);
    bool makeEntries(const Profile& profile);
    // The launch values, once chrome.exe's execution options are known not to be someone's.
    bool makeValues(const Profile& profile);
    // The tasks, as the files Wine's scheduler keeps.
    bool makeTasks(const Profile& profile);
    // Gives each key of a refusing entry's class the refusing list.
    bool lockClass(const ProfileEntry& entry);

    ComScope m_com;
    test::ScratchFolder m_scratch;
    std::string m_desktop;
    std::string m_appData;
    std::string m_quickLaunch;
    std::string m_startMenu;
    std::string m_publicDesktop;
    std::vector<std::unique_ptr<test::ScopedShellFolder>> m_folderValues;
    KeySweep m_keys;
    std::string m_error;
};

}  // namespace brenvik::bench
