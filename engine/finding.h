// What a scanner found: the object its repair acts on and the text the report shows.
#pragma once

#include <string>
#include <vector>

namespace brenvik {

struct Finding {
    std::string path;  // a shortcut's full path, or a name space entry's key path under HKLM
    std::string site;  // shown in the report's "Web Site" column
};

using FindingList = std::vector<Finding>;

}  // namespace brenvik
