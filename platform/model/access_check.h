// The access check Windows makes when an object is opened, over the model's access lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/model/model_platform.h"

namespace brenvik::model {

enum class ObjectKind { Key, File };

// Specific rights of keys and files used by the model's checks.
constexpr std::uint32_t kKeyQueryValue = 0x1;
constexpr std::uint32_t kKeySetValue = 0x2;
constexpr std::uint32_t kKeyCreateSubKey = 0x4;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x8;
constexpr std::uint32_t kDelete = 0x10000;
constexpr std::uint32_t kReadControl = 0x20000;
constexpr std::uint32_t kWriteDac = 0x40000;
constexpr std::uint32_t kFileReadData = 0x1;
constexpr std::uint32_t kFileListDirectory = 0x1;
constexpr std::uint32_t kFileWriteData = 0x2;
constexpr std::uint32_t kFileWriteAttributes = 0x100;
constexpr std::uint32_t kFileAllAccess = 0x1F01FF;

// The SIDs in the model process's token.
const std::vector<std::string>& CallerSids();

// Generic rights (GENERIC_READ/WRITE/EXECUTE/ALL) replaced by the object kind's rights.
std::uint32_t MapGenericRights(std::uint32_t mask, ObjectKind kind);

// ERROR_SUCCESS when the list grants every desired right to the caller, else
// ERROR_ACCESS_DENIED. A null list grants everything; the owner (the caller owns every
// object) always has READ_CONTROL and WRITE_DAC.
long CheckAccess(const AccessList& list, std::uint32_t desired, ObjectKind kind);

}  // namespace brenvik::model
