// The real clock and the computer's and user's names.
#pragma once

#include "engine/ports/host_port.h"

namespace brenvik {

class Win32Host final : public HostPort {
public:
    UtcTime now() override;
    std::string computerName() override;
    std::string userName() override;
};

}  // namespace brenvik
