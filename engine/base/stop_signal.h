// A request, from another thread, that the running command stop at the next object.
#pragma once

#include <atomic>

namespace brenvik {

class StopSignal {
public:
    void request() { m_requested.store(true); }
    bool requested() const { return m_requested.load(); }

private:
    std::atomic<bool> m_requested{false};
};

}  // namespace brenvik
