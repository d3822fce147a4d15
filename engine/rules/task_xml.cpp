#include "engine/rules/task_xml.h"

#include <cstdint>

namespace brenvik {
namespace {

constexpr std::size_t kMaxDepth = 64;

void AppendUtf8(std::uint32_t code, std::string* out) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (code >> 18));
        *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// One entity's text after '&' up to ';'; false for one XML does not define.
bool DecodeEntity(const std::string& name, std::string* out) {
    static const struct {
        const char* name;
        char c;
    } kNamed[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& entity : kNamed) {
        if (name == entity.name) {
            *out += entity.c;
            return true;
        }
    }
    if (name.size() < 2 || name[0] != '#')
        return false;
    const bool hex = name[1] == 'x';
    const std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8)
        return false;
    std::uint32_t code = 0;
    for (char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return false;
    AppendUtf8(code, out);
    return true;
}

// A tag's local name: after any "prefix:", up to a blank, '/' or '>'.
std::string LocalName(const std::string& tag) {
    std::size_t end = 0;
    while (end < tag.size() && tag[end] != ' ' && tag[end] != '\t' && tag[end] != '\r' &&
           tag[end] != '\n' && tag[end] != '/' && tag[end] != '>')
        ++end;
    const std::string name = tag.substr(0, end);
    const std::size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

class ExecReader {
public:
    explicit ExecReader(const std::string& xml) : m_xml(xml) {}

    std::vector<TaskExecAction> read() {
        while (m_at < m_xml.size()) {
            if (m_xml[m_at] != '<') {
                if (!text())
                    break;
                continue;
            }
            if (!markup())
                break;
        }
        return m_actions;
    }

private:
    bool inExec() const {
        return m_stack.size() >= 3 && m_stack[0] == "Task" && m_stack[1] == "Actions" &&
               m_stack[2] == "Exec";
    }
    // The field of the action being read that the open element fills, or null.
    std::string* field() {
        if (!inExec() || m_stack.size() != 4)
            return nullptr;
        TaskExecAction& action = m_actions.back();
        if (m_stack[3] == "Command")
            return &action.path;
        if (m_stack[3] == "Arguments")
            return &action.arguments;
        if (m_stack[3] == "WorkingDirectory")
            return &action.workingDirectory;
        return nullptr;
    }

    bool text() {
        const std::size_t end = m_xml.find('<', m_at);
        const std::string raw = m_xml.substr(m_at, end == std::string::npos ? end : end - m_at);
        m_at = end == std::string::npos ? m_xml.size() : end;
        std::string* out = field();
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '&') {
                if (out != nullptr)
                    *out += raw[i];
                continue;
            }
            const std::size_t semicolon = raw.find(';', i);
            std::string decoded;
            if (semicolon == std::string::npos ||
                !DecodeEntity(raw.substr(i + 1, semicolon - i - 1), &decoded))
                return false;
            if (out != nullptr)
                *out += decoded;
            i = semicolon;
        }
        return true;
    }

    bool skipPast(const char* end) {
        const std::size_t found = m_xml.find(end, m_at);
        if (found == std::string::npos)
            return false;
        m_at = found + std::char_traits<char>::length(end);
        return true;
    }

    bool markup() {
        if (m_xml.compare(m_at, 4, "<!--") == 0)
            return skipPast("-->");
        if (m_xml.compare(m_at, 2, "<?") == 0)
            return skipPast("?>");
        if (m_xml.compare(m_at, 9, "<![CDATA[") == 0) {
            const std::size_t start = m_at + 9;
            if (!skipPast("]]>"))
                return false;
            if (std::string* out = field())
                *out += m_xml.substr(start, m_at - 3 - start);
            return true;
        }
        if (m_xml.compare(m_at, 2, "<!") == 0)
            return skipPast(">");
        // A tag: quoted attribute values may hold '>'.
        std::size_t end = m_at + 1;
        char quote = 0;
        for (; end < m_xml.size(); ++end) {
            const char c = m_xml[end];
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        if (end >= m_xml.size())
            return false;
        const std::string tag = m_xml.substr(m_at + 1, end - m_at - 1);
        m_at = end + 1;
        if (!tag.empty() && tag[0] == '/') {
            if (m_stack.empty() || LocalName(tag.substr(1)) != m_stack.back())
                return false;
            m_stack.pop_back();
            return true;
        }
        const std::string name = LocalName(tag);
        if (name.empty() || m_stack.size() >= kMaxDepth)
            return false;
        m_stack.push_back(name);
        if (inExec() && m_stack.size() == 3)
            m_actions.emplace_back();
        if (!tag.empty() && tag.back() == '/')
            m_stack.pop_back();
        return true;
    }

    const std::string& m_xml;
    std::size_t m_at = 0;
    std::vector<std::string> m_stack;
    std::vector<TaskExecAction> m_actions;
};

}  // namespace

std::vector<TaskExecAction> ExecActionsInXml(const std::string& xml) {
    return ExecReader(xml).read();
}

std::string ExecCommandLine(const TaskExecAction& action) {
    std::string command = action.path;
    const bool quoted = !command.empty() && command.front() == '"';
    if (!quoted && command.find_first_of(" \t") != std::string::npos)
        command = "\"" + command + "\"";
    if (!action.arguments.empty())
        command += (command.empty() ? "" : " ") + action.arguments;
    return command;
}

}  // namespace brenvik
