// What the access broker tells a backup around every change of content it makes, so that
// nothing a repair deletes or rewrites goes unkept.
#pragma once

#include <string>

#include "engine/ports/registry_port.h"
#include "engine/ports/win_status.h"

namespace brenvik {

class AccessBroker;

// One object a repair changes: a file by its path, a key (with its tree) by root and path, or
// a scheduled task by its full name (kept as its whole XML definition).
struct ChangedObject {
    enum class Kind { File, Key, Task };
    Kind kind = Kind::File;
    RegKey root = kNoKey;  // keys only
    std::string path;
};

class BackupSink {
public:
    virtual ~BackupSink() = default;

    // Keeps the object as it is now, durably. The change is not made when this fails.
    virtual Status beforeChange(AccessBroker& broker, const ChangedObject& object,
                                const char* action) = 0;
    // The change was tried; result is its Win32 code.
    virtual void afterChange(AccessBroker& broker, const ChangedObject& object, Status result) = 0;
};

}  // namespace brenvik
