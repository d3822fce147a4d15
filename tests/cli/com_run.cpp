#include "tests/cli/com_run.h"

namespace brenvik::test {

UniqueHandle StartCom(const std::string& arguments, const std::string& outputFile) {
    return StartProgram("\"" + std::string(BRENVIK_COM) + "\" " + arguments, outputFile);
}

ComRun Finish(const UniqueHandle& program, const std::string& outputFile) {
    ComRun run;
    if (!program)
        return run;
    run.code = WaitForExit(program);
    run.output = ReadAll(outputFile);
    return run;
}

ComRun RunCom(const std::string& arguments, const std::string& outputFile) {
    return Finish(StartCom(arguments, outputFile), outputFile);
}

nlohmann::json ReadJson(const std::string& path) {
    return nlohmann::json::parse(ReadAll(path), nullptr, false);
}

std::map<std::string, std::string> ResultsByLocation(const nlohmann::json& report) {
    std::map<std::string, std::string> results;
    for (const auto& finding : report["findings"])
        results[finding["location"].get<std::string>()] = finding["result"].get<std::string>();
    return results;
}

}  // namespace brenvik::test
