#include "engine/backup/backup_manifest.h"

#include <nlohmann/json.hpp>

namespace brenvik {
namespace {

using Json = nlohmann::json;

constexpr int kMaxKeyDepth = 512;

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        text += kDigits[c >> 4];
        text += kDigits[c & 0xF];
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool FromHex(const std::string& text, std::string* bytes) {
    if (text.size() % 2 != 0)
        return false;
    bytes->clear();
    bytes->reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes->push_back(static_cast<char>(high << 4 | low));
    }
    return true;
}

// Dumping refuses text that is no UTF-8; such a record is not written at all.
std::string Dump(const Json& json) {
    try {
        return json.dump();
    } catch (const Json::exception&) {
        return std::string();
    }
}

Json Parse(const std::string& text) {
    return Json::parse(text, nullptr, false);
}

bool GetText(const Json& json, const char* name, std::string* text) {
    const auto it = json.find(name);
    if (it == json.end() || !it->is_string())
        return false;
    *text = it->get<std::string>();
    return true;
}

template <typename Number>
bool GetNumber(const Json& json, const char* name, Number* number) {
    const auto it = json.find(name);
    if (it == json.end() || !it->is_number_integer())
        return false;
    *number = it->get<Number>();
    return true;
}

bool GetBool(const Json& json, const char* name, bool* value) {
    const auto it = json.find(name);
    if (it == json.end() || !it->is_boolean())
        return false;
    *value = it->get<bool>();
    return true;
}

bool GetHex(const Json& json, const char* name, std::string* bytes) {
    std::string text;
    return GetText(json, name, &text) && FromHex(text, bytes);
}

Json FileJson(const FileState& state, const KeptContent& content) {
    if (!state.present)
        return Json{{"present", false}};
    Json json{{"present", true}, {"attributes", state.attributes}, {"sddl", state.sddl}};
    if (content.name.empty()) {
        json["bytes"] = Hex(state.bytes);
    } else {
        json["content"] = content.name;
        json["size"] = content.size;
    }
    return json;
}

bool ParseFile(const Json& json, FileState* state, KeptContent* content) {
    *state = FileState{};
    *content = KeptContent{};
    if (!json.is_object() || !GetBool(json, "present", &state->present))
        return false;
    if (!state->present)
        return true;
    if (!GetNumber(json, "attributes", &state->attributes) || !GetText(json, "sddl", &state->sddl))
        return false;
    if (json.contains("content"))
        return GetText(json, "content", &content->name) && IsContentName(content->name) &&
               GetNumber(json, "size", &content->size);
    return GetHex(json, "bytes", &state->bytes);
}

Json KeyJson(const KeyState& state) {
    Json json{{"name", state.name}, {"present", state.present}};
    if (!state.present)
        return json;
    json["sddl"] = state.sddl;
    Json values = Json::array();
    for (const ValueEntry& value : state.values)
        values.push_back({{"name", value.name}, {"type", value.type}, {"data", Hex(value.data)}});
    json["values"] = std::move(values);
    Json subkeys = Json::array();
    for (const KeyState& child : state.subkeys) subkeys.push_back(KeyJson(child));
    json["subkeys"] = std::move(subkeys);
    return json;
}

bool ParseKey(const Json& json, int depth, KeyState* state) {
    *state = KeyState{};
    if (depth > kMaxKeyDepth || !json.is_object() || !GetText(json, "name", &state->name) ||
        !GetBool(json, "present", &state->present))
        return false;
    if (!state->present)
        return true;
    const auto values = json.find("values");
    const auto subkeys = json.find("subkeys");
    if (!GetText(json, "sddl", &state->sddl) || values == json.end() || !values->is_array() ||
        subkeys == json.end() || !subkeys->is_array())
        return false;
    for (const Json& item : *values) {
        ValueEntry value;
        if (!item.is_object() || !GetText(item, "name", &value.name) ||
            !GetNumber(item, "type", &value.type) || !GetHex(item, "data", &value.data))
            return false;
        state->values.push_back(std::move(value));
    }
    for (const Json& item : *subkeys) {
        KeyState child;
        if (!ParseKey(item, depth + 1, &child))
            return false;
        state->subkeys.push_back(std::move(child));
    }
    return true;
}

const char* KindName(ChangedObject::Kind kind) {
    switch (kind) {
        case ChangedObject::Kind::File:
            return "file";
        case ChangedObject::Kind::Task:
            return "task";
        case ChangedObject::Kind::Key:
            break;
    }
    return "key";
}

// Files and tasks keep their state as a file's: a task's XML is the bytes.
bool HoldsBytes(ChangedObject::Kind kind) {
    return kind != ChangedObject::Kind::Key;
}

}  // namespace

bool IsContentName(const std::string& name) {
    if (name.empty() || name[0] == '.')
        return false;
    for (char c : name) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                           (c >= 'A' && c <= 'Z') || c == '.' || c == '-' || c == '_';
        if (!plain)
            return false;
    }
    return true;
}

const char* RootName(RegKey root) {
    switch (root) {
        case kHKeyLocalMachine:
            return "HKLM";
        case kHKeyCurrentUser:
            return "HKCU";
        case kHKeyClassesRoot:
            return "HKCR";
        default:
            return "";
    }
}

RegKey RootFromName(const std::string& name) {
    for (RegKey root : {kHKeyLocalMachine, kHKeyCurrentUser, kHKeyClassesRoot}) {
        if (name == RootName(root))
            return root;
    }
    return kNoKey;
}

std::string FormatSetHeader(const SetHeader& header) {
    return Dump(Json{{"id", header.id},
                     {"command", header.command},
                     {"started", header.started},
                     {"computer", header.computer},
                     {"user", header.user}});
}

bool ParseSetHeader(const std::string& text, SetHeader* header) {
    const Json json = Parse(text);
    return json.is_object() && GetText(json, "id", &header->id) &&
           GetText(json, "command", &header->command) &&
           GetText(json, "started", &header->started) &&
           GetText(json, "computer", &header->computer) && GetText(json, "user", &header->user);
}

std::string FormatObjectRecord(const ObjectRecord& record) {
    const bool file = HoldsBytes(record.object.kind);
    Json json{{"kind", KindName(record.object.kind)},
              {"path", record.object.path},
              {"action", record.action},
              {"before", file ? FileJson(record.fileBefore, record.beforeContent)
                              : KeyJson(record.keyBefore)}};
    if (record.object.kind == ChangedObject::Kind::Key)
        json["root"] = RootName(record.object.root);
    return Dump(json);
}

std::string FormatObjectIdentity(const ChangedObject& object) {
    Json json{{"kind", KindName(object.kind)}, {"path", object.path}};
    if (object.kind == ChangedObject::Kind::Key)
        json["root"] = RootName(object.root);
    return Dump(json);
}

bool ParseObjectRecord(const std::string& text, ObjectRecord* record) {
    *record = ObjectRecord{};
    const Json json = Parse(text);
    std::string kind;
    if (!json.is_object() || !GetText(json, "kind", &kind) ||
        !GetText(json, "path", &record->object.path) || !GetText(json, "action", &record->action) ||
        !json.contains("before"))
        return false;
    if (kind == "file" || kind == "task") {
        record->object.kind =
            kind == "file" ? ChangedObject::Kind::File : ChangedObject::Kind::Task;
        return ParseFile(json["before"], &record->fileBefore, &record->beforeContent);
    }
    std::string root;
    if (kind != "key" || !GetText(json, "root", &root))
        return false;
    record->object.kind = ChangedObject::Kind::Key;
    record->object.root = RootFromName(root);
    return record->object.root != kNoKey && ParseKey(json["before"], 0, &record->keyBefore);
}

std::string FormatObjectResult(ChangedObject::Kind kind, const ResultRecordOfObject& result) {
    const bool file = HoldsBytes(kind);
    return Dump(Json{{"error", result.error},
                     {"after", file ? FileJson(result.fileAfter, result.afterContent)
                                    : KeyJson(result.keyAfter)}});
}

bool ParseObjectResult(const std::string& text, ChangedObject::Kind kind,
                       ResultRecordOfObject* result) {
    *result = ResultRecordOfObject{};
    const Json json = Parse(text);
    if (!json.is_object() || !GetNumber(json, "error", &result->error) || !json.contains("after"))
        return false;
    if (HoldsBytes(kind))
        return ParseFile(json["after"], &result->fileAfter, &result->afterContent);
    return ParseKey(json["after"], 0, &result->keyAfter);
}

}  // namespace brenvik
