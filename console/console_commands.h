// The command line's work, shared by brenvik.com (which prints) and brenvik.exe with
// switches (which only writes the report and returns the code).
#pragma once

#include <string>
#include <vector>

namespace brenvik {

// Where the printed lines go; the window program passes none.
class ConsoleOutput {
public:
    virtual ~ConsoleOutput() = default;
    virtual void print(const std::string& utf8Text) = 0;
};

// Parses args (without the program's name), waits for any other Brenvik command to end, puts
// back what a run that died left, runs the command and returns its exit code.
int RunCommandLine(const std::vector<std::string>& args, ConsoleOutput* out);

// The process's arguments as UTF-8, without the program's name.
std::vector<std::string> ProcessArguments();

}  // namespace brenvik
