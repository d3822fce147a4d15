// Arguments texts and the arguments CommandLineToArgvW makes of them after a program name:
// checked against SplitArguments natively and against the real call under Wine.
#pragma once

#include <vector>

namespace brenvik {
namespace testing {

struct ArgumentSplitCase {
    const char* arguments;
    std::vector<const char*> argv;  // what follows argv[0]
};

// The shell's own conformance table for the call (quote runs, backslash runs, unclosed
// quotes), then the texts the browser rules meet.
inline const ArgumentSplitCase kArgumentSplitCases[] = {
    {"", {}},
    {" \t ", {}},
    {"a  b\tc ", {"a", "b", "c"}},
    {"arg1 arg2 \"arg three\" 'four five` six\\ $even)",
     {"arg1", "arg2", "arg three", "'four", "five`", "six\\", "$even)"}},
    {"arg=1 arg-2 three\tfour\rfour\nfour ", {"arg=1", "arg-2", "three", "four\rfour\nfour"}},
    {"arg\"one\" \"second\"arg thirdarg ", {"argone", "secondarg", "thirdarg"}},
    {"arg1 \"unclosed", {"arg1", "unclosed"}},
    {"arg1 \"", {"arg1", ""}},
    {"\"one^\" \"arg\"&two three|four", {"one^", "arg&two", "three|four"}},
    {"%TMPDIR% %2", {"%TMPDIR%", "%2"}},
    // Backslashes not followed by a quote are literal.
    {"o\\ne t\\\\wo t\\\\\\ree f\\\\\\\\our ", {"o\\ne", "t\\\\wo", "t\\\\\\ree", "f\\\\\\\\our"}},
    {"\"o\\ne\" \"t\\\\wo\" \"t\\\\\\ree\" \"f\\\\\\\\our\" ",
     {"o\\ne", "t\\\\wo", "t\\\\\\ree", "f\\\\\\\\our"}},
    // Before a quote they are halved; an odd one left over makes the quote literal.
    {"\\\"one \\\\\"two\" \\\\\\\"three \\\\\\\\\"four\" end",
     {"\"one", "\\two", "\\\"three", "\\\\four", "end"}},
    {"\"one\\\" still\" \"two\\\\\" \"three\\\\\\\" still\" \"four\\\\\\\\\" end",
     {"one\" still", "two\\", "three\\\" still", "four\\\\", "end"}},
    // Quote runs outside quotes: 3n give n quotes, 3n+1 n quotes and open quoting, 3n+2 n.
    {"two\"\"quotes next", {"twoquotes", "next"}},
    {"three\"\"\"quotes next", {"three\"quotes", "next"}},
    {"four\"\"\"\" quotes\" next 4%3=1", {"four\" quotes", "next", "4%3=1"}},
    {"five\"\"\"\"\"quotes next", {"five\"quotes", "next"}},
    {"six\"\"\"\"\"\"quotes next", {"six\"\"quotes", "next"}},
    {"seven\"\"\"\"\"\"\" quotes\" next 7%3=1", {"seven\"\" quotes", "next", "7%3=1"}},
    {"twelve\"\"\"\"\"\"\"\"\"\"\"\"quotes next", {"twelve\"\"\"\"quotes", "next"}},
    {"thirteen\"\"\"\"\"\"\"\"\"\"\"\"\" quotes\" next 13%3=1",
     {"thirteen\"\"\"\" quotes", "next", "13%3=1"}},
    // Inside quotes the opening quote counts with the run: "" is a literal quote and closes.
    {"\"two\"\"quotes next", {"two\"quotes", "next"}},
    {"\"two\"\" next", {"two\"", "next"}},
    {"\"three\"\"\" quotes\" next 4%3=1", {"three\" quotes", "next", "4%3=1"}},
    {"\"four\"\"\"\"quotes next", {"four\"quotes", "next"}},
    {"\"five\"\"\"\"\"quotes next", {"five\"\"quotes", "next"}},
    {"\"six\"\"\"\"\"\" quotes\" next 7%3=1", {"six\"\" quotes", "next", "7%3=1"}},
    {"\"eleven\"\"\"\"\"\"\"\"\"\"\"quotes next", {"eleven\"\"\"\"quotes", "next"}},
    {"\"twelve\"\"\"\"\"\"\"\"\"\"\"\" quotes\" next 13%3=1",
     {"twelve\"\"\"\" quotes", "next", "13%3=1"}},
    {"\"the crazy \\\\\"\"\"\\\\\" quotes", {"the crazy \\\"\\", "quotes"}},
    {"\"a b\"\"c d\"", {"a b\"c", "d"}},
    {"\"\" \"\"\"\"", {"", "\""}},

    // A stray quote opens quoting for the rest of the text, blanks and switches included.
    {"http://hao123.com/\" --incognito", {"http://hao123.com/ --incognito"}},
    {"\" http://hao123.com", {" http://hao123.com"}},
    {"\"a b\" c\"", {"a b", "c"}},
    // An escaped quote does not close quoting: one argument, not a live switch.
    {"http://x.com/\\\"\" a\\\"b --utility-cmd-prefix=C:\\evil.exe \"",
     {"http://x.com/\" a\"b --utility-cmd-prefix=C:\\evil.exe "}},
    {"--user-data-dir=\"C:\\a b\\\\\" --x", {"--user-data-dir=C:\\a b\\", "--x"}},
    {"--user-data-dir=\"C:\\a b\\\" --x", {"--user-data-dir=C:\\a b\" --x"}},
    {"-P \"work\" \"\xE4\xB8\xAD \xE5\x9B\xBD\"",
     {"-P", "work", "\xE4\xB8\xAD \xE5\x9B\xBD"}},  // 中 国
};

}  // namespace testing
}  // namespace brenvik
