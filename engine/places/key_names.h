// Reading the names and default text of registry keys the way every scanner needs them.
#pragma once

#include <string>
#include <vector>

#include "engine/ports/registry_port.h"

namespace brenvik {

// Any name a key can have: 255 UTF-16 units are at most 765 bytes of UTF-8, and its NUL.
constexpr std::uint32_t kKeyNameBufferSize = 766;

// Subkey names of an open key in index order. A name that still does not fit is passed
// over: it must not end the enumeration and so hide every entry after it. error, when given,
// gets why the enumeration could not be made or ended early (0 when it went through).
std::vector<std::string> SubkeyNames(RegistryReader& registry, RegKey key, Status* error = nullptr);

// Value names of an open key in index order; error as for SubkeyNames.
std::vector<std::string> ValueNames(RegistryReader& registry, RegKey key, Status* error = nullptr);

// A text value (REG_SZ or REG_EXPAND_SZ, unexpanded) of an open key read into 4096 bytes: up
// to its first zero byte, or all of it. False when it is missing, of another type, or cannot
// be read (or does not fit).
bool ReadValueText(RegistryReader& registry, RegKey key, const std::string& name,
                   std::string* text);
// The default value of an open key the same way, whatever its type.
bool ReadDefaultText(RegistryReader& registry, RegKey key, std::string* text);
// A REG_DWORD value; false when it is missing or of another type.
bool ReadDword(RegistryReader& registry, RegKey key, const std::string& name,
               std::uint32_t* number);

}  // namespace brenvik
