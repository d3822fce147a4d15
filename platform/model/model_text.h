// Text helpers of the model: letter case in code page 936, path splitting, wildcard masks.
#pragma once

#include <string>
#include <vector>

namespace brenvik::model {

// Windows compares registry and file names without ASCII letter case; double-byte
// characters of code page 936 compare as they are.
bool EqualsNoCase(const std::string& a, const std::string& b);
// The form of a name under which EqualsNoCase names are equal: ASCII letters upper-cased,
// double-byte characters kept.
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
// FindFirstFileA's mask: '*' any run, '?' one character, without letter case; "*.*" is "*".
bool MatchesMask(const std::string& name, const std::string& mask);

}  // namespace brenvik::model
