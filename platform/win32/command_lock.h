// One Brenvik command at a time on the machine, whichever front end runs it: the program's
// store and HKEY_LOCAL_MACHINE are shared by every session.
#pragma once

#include <windows.h>

#include "engine/stop_signal.h"
#include "platform/win32/handles.h"

namespace brenvik {

class CommandLock {
public:
    // Waits for the machine-wide mutex up to timeoutMs (INFINITE allowed), or until stop,
    // when given, is requested.
    explicit CommandLock(DWORD timeoutMs, const StopSignal* stop = nullptr);
    ~CommandLock();
    CommandLock(const CommandLock&) = delete;
    CommandLock& operator=(const CommandLock&) = delete;

    bool held() const { return m_held; }

private:
    UniqueHandle m_mutex;
    bool m_held = false;
};

}  // namespace brenvik
