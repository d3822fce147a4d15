// The records of a backup set as the store keeps them (JSON text): the set's header, each
// object before its change, each result with the object's state after it. A kept file's
// bytes are a file of their own in the set's folder, which the record names: no record grows
// with the files it keeps.
#pragma once

#include <cstdint>
#include <string>

#include "engine/backup/backup_sink.h"
#include "engine/backup/object_state.h"

namespace brenvik {

struct SetHeader {
    std::string id;
    std::string command;  // "fix" or "fixdesktop"
    std::string started;  // ISO 8601 UTC
    std::string computer;
    std::string user;
};

// Where a present file's bytes are kept: the name of a file in the set's folder, and their
// size. No name: the bytes are in the record itself (as hex, in sets of older versions).
struct KeptContent {
    std::string name;
    std::uint64_t size = 0;
};

struct ObjectRecord {
    ChangedObject object;
    std::string action;
    FileState fileBefore;  // files; bytes empty until read from beforeContent
    KeyState keyBefore;    // keys
    KeptContent beforeContent{};
};

struct ResultRecordOfObject {
    Status error = kErrorSuccess;  // the change's Win32 code
    FileState fileAfter;
    KeyState keyAfter;
    KeptContent afterContent{};
};

// A name a record may give its content: letters, digits, '.', '-' and '_', not starting with
// '.', so that it names a file in the set's own folder and nothing else.
bool IsContentName(const std::string& name);

// Each Format returns "" when the record cannot be written as JSON (a name that is no UTF-8).
std::string FormatSetHeader(const SetHeader& header);
bool ParseSetHeader(const std::string& text, SetHeader* header);
std::string FormatObjectRecord(const ObjectRecord& record);
bool ParseObjectRecord(const std::string& text, ObjectRecord* record);
std::string FormatObjectResult(ChangedObject::Kind kind, const ResultRecordOfObject& result);
bool ParseObjectResult(const std::string& text, ChangedObject::Kind kind,
                       ResultRecordOfObject* result);
// Which object a record is about, without its states: {"kind":"key","root":"HKLM","path":...}.
std::string FormatObjectIdentity(const ChangedObject& object);

// "HKLM", "HKCU", "HKCR"; "" and kNoKey for anything else.
const char* RootName(RegKey root);
RegKey RootFromName(const std::string& name);

}  // namespace brenvik
