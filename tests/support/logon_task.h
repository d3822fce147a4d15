// The definition of a task that runs one program at every logon, as the scheduler writes it:
// what the tests and the benchmark plant as a scheduled task.
#pragma once

#include <string>

namespace brenvik::test {

// text with the characters XML gives a meaning escaped.
inline std::string XmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

// A logon task with one Exec action; no <Arguments> when arguments is empty.
inline std::string LogonTask(const std::string& command, const std::string& arguments,
                             const char* encoding = "UTF-8") {
    std::string xml =
        std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\r\n" +
        "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
        "  <Triggers><LogonTrigger><Enabled>true</Enabled></LogonTrigger></Triggers>\r\n"
        "  <Actions Context=\"Author\">\r\n    <Exec>\r\n      <Command>" +
        XmlEscaped(command) + "</Command>\r\n";
    if (!arguments.empty())
        xml += "      <Arguments>" + XmlEscaped(arguments) + "</Arguments>\r\n";
    return xml + "    </Exec>\r\n  </Actions>\r\n</Task>\r\n";
}

}  // namespace brenvik::test
