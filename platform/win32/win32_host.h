// The real clock, the computer's and user's names, and the running processes.
#pragma once

#include "engine/ports/host_port.h"

namespace brenvik {

class Win32Host final : public HostPort {
public:
    UtcTime now() override;
    std::string computerName() override;
    std::string userName() override;
    std::vector<RunningProgram> runningPrograms() override;
    void pause(int milliseconds) override;
};

}  // namespace brenvik
