#include "tests/support/child_process.h"

#include <fstream>
#include <sstream>

#include "platform/win32/wide_text.h"

namespace brenvik::test {

UniqueHandle StartProgram(const std::string& commandLine, const std::string& outputFile) {
    SECURITY_ATTRIBUTES inherit = {};
    inherit.nLength = sizeof inherit;
    inherit.bInheritHandle = TRUE;
    UniqueHfile output(CreateFileW(Utf8ToWide(outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                   &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output)
        return UniqueHandle();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    std::wstring line = Utf8ToWide(commandLine);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return UniqueHandle();
    UniqueHandle thread(process.hThread);
    return UniqueHandle(process.hProcess);
}

DWORD WaitForExit(const UniqueHandle& program) {
    DWORD code = kNoExitCode;
    if (program && WaitForSingleObject(program.get(), 120 * 1000) == WAIT_OBJECT_0)
        GetExitCodeProcess(program.get(), &code);
    return code;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(Utf8ToWide(path).c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace brenvik::test
