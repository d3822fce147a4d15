// The records of a backup set as the store keeps them (JSON text): the set's header, each
// object before its change, each result with the object's state after it.
#pragma once

#include <string>

#include "engine/backup_sink.h"
#include "engine/object_state.h"

namespace brenvik {

struct SetHeader {
    std::string id;
    std::string command;  // "fix" or "fixdesktop"
    std::string started;  // ISO 8601 UTC
    std::string computer;
    std::string user;
};

struct ObjectRecord {
    ChangedObject object;
    std::string action;
    FileState fileBefore;  // files
    KeyState keyBefore;    // keys
};

struct ResultRecordOfObject {
    Status error = kErrorSuccess;  // the change's Win32 code
    FileState fileAfter;
    KeyState keyAfter;
};

// Each Format returns "" when the record cannot be written as JSON (a name that is no UTF-8).
std::string FormatSetHeader(const SetHeader& header);
bool ParseSetHeader(const std::string& text, SetHeader* header);
std::string FormatObjectRecord(const ObjectRecord& record);
bool ParseObjectRecord(const std::string& text, ObjectRecord* record);
std::string FormatObjectResult(ChangedObject::Kind kind, const ResultRecordOfObject& result);
bool ParseObjectResult(const std::string& text, ChangedObject::Kind kind,
                       ResultRecordOfObject* result);

// "HKLM", "HKCU", "HKCR"; "" and kNoKey for anything else.
const char* RootName(RegKey root);
RegKey RootFromName(const std::string& name);

}  // namespace brenvik
