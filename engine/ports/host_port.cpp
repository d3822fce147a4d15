// The two text forms of a moment: ISO 8601 for reports, a compact one for backup set ids.
#include <cstdio>

#include "engine/ports/host_port.h"

namespace brenvik {

std::string IsoTime(const UtcTime& t) {
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::string CompactTime(const UtcTime& t) {
    char text[80];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

}  // namespace brenvik
