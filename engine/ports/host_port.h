// The clock and the names a command's report and backup sets carry, and the programs that
// run beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brenvik {

// A moment in UTC, as GetSystemTime gives it.
struct UtcTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// A process running on the machine.
struct RunningProgram {
    std::uint32_t id = 0;
    // Its image's full path, or only the file name when the path cannot be read (a process of
    // another account, a protected one).
    std::string image;
};

class HostPort {
public:
    virtual ~HostPort() = default;

    // GetSystemTime.
    virtual UtcTime now() = 0;
    // GetComputerNameW, as UTF-8; empty when unknown.
    virtual std::string computerName() = 0;
    // GetUserNameW, as UTF-8; empty when unknown.
    virtual std::string userName() = 0;
    // Every running process (a Toolhelp snapshot); empty when none can be listed.
    virtual std::vector<RunningProgram> runningPrograms() = 0;
    // Sleep.
    virtual void pause(int milliseconds) = 0;
};

// "2026-12-08T19:06:48Z".
std::string IsoTime(const UtcTime& time);
// "20261208T190648Z": sorts as the moments do.
std::string CompactTime(const UtcTime& time);

}  // namespace brenvik
