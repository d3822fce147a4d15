// Text helpers of the model: letter case of UTF-8 names, path splitting, wildcard masks.
#pragma once

#include <string>
#include <vector>

namespace brenvik::model {

// Names are UTF-8 and compare without ASCII letter case; every other character compares as
// it is (Windows also folds the case of other scripts; the rules never depend on that).
bool EqualsNoCase(const std::string& a, const std::string& b);
// The form of a name under which EqualsNoCase names are equal: ASCII letters upper-cased.
std::string FoldName(const std::string& name);
// The order of registry subkeys: byte-wise on upper-cased ASCII names.
bool LessUpperCase(const std::string& a, const std::string& b);
// Splits at backslashes (and slashes for files), dropping empty parts.
std::vector<std::string> SplitKeyPath(const std::string& path);
// A file path in parts: "." is dropped and ".." goes up one level, as Win32 normalises them.
std::vector<std::string> SplitFilePath(const std::string& path);
std::string JoinPath(const std::vector<std::string>& parts);
// "X:" with a letter X.
bool IsDrive(const std::string& part);
// FindFirstFileW's mask: '*' any run, '?' one character, without letter case; "*.*" is "*".
bool MatchesMask(const std::string& name, const std::string& mask);
// The longest start of a UTF-8 text that takes at most `units` UTF-16 units, whole characters
// only: what a buffer of that many units keeps.
std::string Utf16Prefix(const std::string& text, std::size_t units);

}  // namespace brenvik::model
