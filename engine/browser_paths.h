// Path text as shortcuts and commands hold it: quoted or not, either separator, any ASCII case.
#pragma once

#include <string>

namespace brenvik {

// path without surrounding blanks and double quotes (a lone or stray one included), with every
// '/' turned into '\' and ASCII letters lowercased; other bytes as they are.
std::string NormalizedPath(const std::string& path);

// The part of a normalized path after its last backslash (all of it when there is none).
std::string PathFileName(const std::string& normalizedPath);

// The file name's extension from its last dot, dot included ("" when there is none).
std::string PathExtension(const std::string& fileName);

// True when normalizedPath lies below folder (normalized here), at any depth; the folder
// itself and a sibling that merely starts with the same text ("...\AppDataX") are not below.
bool IsPathUnderFolder(const std::string& normalizedPath, const std::string& folder);

}  // namespace brenvik
