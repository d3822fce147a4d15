// One Brenvik command at a time on the machine, whichever front end runs it: the program's
// store and HKEY_LOCAL_MACHINE are shared by every session.
#pragma once

#include <windows.h>

#include <string>

#include "engine/base/stop_signal.h"
#include "platform/win32/handles.h"

namespace brenvik {

// The lock is a file in the program's data folder (Lock\command.lock), held open without
// sharing: only administrators can create files there, so no other account can take the
// lock first, and a holder that dies lets it go with its handle. A name in the folder that
// another account made before the folder was secured (another owner, a link, a second name)
// is passed over for the next name in a fixed order, so every Brenvik process settles on the
// same file.
class CommandLock {
public:
    // Waits for the lock up to timeoutMs (INFINITE allowed), or until stop, when given, is
    // requested.
    explicit CommandLock(DWORD timeoutMs, const StopSignal* stop = nullptr);
    CommandLock(const CommandLock&) = delete;
    CommandLock& operator=(const CommandLock&) = delete;

    bool held() const { return static_cast<bool>(m_file); }

    // The first lock file's full path (tests); empty when there is no data folder.
    static std::wstring FirstLockPath();

private:
    UniqueHfile m_file;
};

}  // namespace brenvik
