// Protocol and file handlers: what Windows runs for a web link or an .html file. A handler's
// command that adds an address or a code-loading switch to its browser is cleaned; a browser's
// handler (or that of http, https, htmlfile) that runs a launcher gets the browser back. The
// UserChoice the user made in Settings is protected by Windows and never changed: when it
// names a handler that is not registered or runs a launcher, a report-only row says so.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/vectors/vector.h"

namespace brenvik {

// The user's choices for web links and .html files, under HKEY_CURRENT_USER.
// clang-format off
constexpr const char* kUserChoiceKeys[] = {
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice",
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\https\\UserChoice",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.htm\\UserChoice",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.html\\UserChoice",
};
// clang-format on

// The handlers known by their exact names, in scan order ("http", ..., "ChromeHTML", ...);
// the families named by prefix ("FirefoxURL-...") are found through Capabilities.
std::vector<std::string> KnownHandlerNames();

// The vector of the table (vector_table.h).
std::unique_ptr<Vector> MakeHandlerVector();

}  // namespace brenvik
