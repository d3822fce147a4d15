// Path text as shortcuts and commands hold it: quoted or not, either separator, any ASCII case.
#pragma once

#include <string>
#include <string_view>

namespace brenvik {

// path without surrounding blanks and double quotes (a lone or stray one included), with every
// '/' turned into '\' and ASCII letters lowercased; other bytes as they are.
std::string NormalizedPath(const std::string& path);

// The part of a normalized path after its last backslash (all of it when there is none).
std::string PathFileName(const std::string& normalizedPath);

// The file name of path where PathFileName(NormalizedPath(path)) finds it, neither copied nor
// lowercased: every shortcut a scan reads asks for its target's.
std::string_view RawPathFileName(const std::string& path);

// True when text equals lowercasedText but for the ASCII case of its letters.
bool EqualsLowercased(std::string_view text, std::string_view lowercasedText);

// The file name's extension from its last dot, dot included ("" when there is none).
std::string PathExtension(const std::string& fileName);

// True when fileName ends in lowercasedExtension (dot included) in any ASCII case.
bool HasExtension(const std::string& fileName, const std::string& lowercasedExtension);

// True when normalizedPath lies below folder (normalized here), at any depth; the folder
// itself and a sibling that merely starts with the same text ("...\AppDataX") are not below.
bool IsPathUnderFolder(const std::string& normalizedPath, const std::string& folder);

}  // namespace brenvik
