// A host whose clock and names the tests set.
#pragma once

#include <string>

#include "engine/ports/host_port.h"

namespace brenvik::model {

class ModelHost final : public HostPort {
public:
    UtcTime now() override { return m_now; }
    std::string computerName() override { return "MODEL-PC"; }
    std::string userName() override { return "tester"; }

    void setNow(const UtcTime& now) { m_now = now; }

private:
    UtcTime m_now{2026, 12, 8, 19, 6, 48};
};

}  // namespace brenvik::model
