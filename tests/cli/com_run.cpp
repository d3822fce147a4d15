#include "tests/cli/com_run.h"

#include <fstream>
#include <sstream>

#include "platform/win32/wide_text.h"

namespace brenvik::test {

UniqueHandle StartCom(const std::string& arguments, const std::string& outputFile) {
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
    std::wstring line = L"\"" + Utf8ToWide(BRENVIK_COM) + L"\" " + Utf8ToWide(arguments);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return UniqueHandle();
    UniqueHandle thread(process.hThread);
    return UniqueHandle(process.hProcess);
}

ComRun Finish(const UniqueHandle& program, const std::string& outputFile) {
    ComRun run;
    if (!program)
        return run;
    WaitForSingleObject(program.get(), 120 * 1000);
    GetExitCodeProcess(program.get(), &run.code);
    run.output = ReadAll(outputFile);
    return run;
}

ComRun RunCom(const std::string& arguments, const std::string& outputFile) {
    return Finish(StartCom(arguments, outputFile), outputFile);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(Utf8ToWide(path).c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

nlohmann::json ReadJson(const std::string& path) {
    return nlohmann::json::parse(ReadAll(path), nullptr, false);
}

std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        folder = WideToUtf8(path);
    CoTaskMemFree(path);
    return folder;
}

std::map<std::string, std::string> ResultsByLocation(const nlohmann::json& report) {
    std::map<std::string, std::string> results;
    for (const auto& finding : report["findings"])
        results[finding["location"].get<std::string>()] = finding["result"].get<std::string>();
    return results;
}

}  // namespace brenvik::test
