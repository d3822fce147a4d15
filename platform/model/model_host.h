// A host whose clock, names and processes the tests set; a pause takes no time and runs what
// the test gave to run then (a guardian putting a hijack back).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/ports/host_port.h"

namespace brenvik::model {

class ModelHost final : public HostPort {
public:
    UtcTime now() override { return m_now; }
    std::string computerName() override { return "MODEL-PC"; }
    std::string userName() override { return "tester"; }
    std::vector<RunningProgram> runningPrograms() override { return m_programs; }
    void pause(int) override {
        if (m_onPause)
            m_onPause();
    }

    void setNow(const UtcTime& now) { m_now = now; }
    void setRunningPrograms(std::vector<RunningProgram> programs) {
        m_programs = std::move(programs);
    }
    void onPause(std::function<void()> run) { m_onPause = std::move(run); }

private:
    UtcTime m_now{2026, 12, 8, 19, 6, 48};
    std::vector<RunningProgram> m_programs;
    std::function<void()> m_onPause;
};

}  // namespace brenvik::model
