#include "platform/win32/command_lock.h"

namespace brenvik {
namespace {

constexpr const wchar_t* kCommandMutex = L"Global\\Brenvik.Command";
// How often a wait looks at the stop signal.
constexpr DWORD kStopPollMs = 200;

}  // namespace

CommandLock::CommandLock(DWORD timeoutMs, const StopSignal* stop)
    : m_mutex(CreateMutexW(nullptr, FALSE, kCommandMutex)) {
    if (!m_mutex)
        return;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD waited = WaitForSingleObject(m_mutex.get(), kStopPollMs);
        // An owner that died left what it changed as its journal says; recovery mends that.
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            m_held = true;
            return;
        }
        if (waited != WAIT_TIMEOUT || (stop != nullptr && stop->requested()))
            return;
        if (timeoutMs != INFINITE && GetTickCount() - start >= timeoutMs)
            return;
    }
}

CommandLock::~CommandLock() {
    if (m_held)
        ReleaseMutex(m_mutex.get());
}

}  // namespace brenvik
