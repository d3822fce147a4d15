// Win32 result codes and constants that the rules depend on, without <windows.h>.
#pragma once

#include <cstdint>

namespace brenvik {

// A Win32 error code (LONG/DWORD), 0 on success. Ports pass the platform's own codes through.
using Status = long;

constexpr Status kErrorSuccess = 0;
constexpr Status kErrorFileNotFound = 2;
constexpr Status kErrorPathNotFound = 3;
constexpr Status kErrorAccessDenied = 5;
constexpr Status kErrorInvalidHandle = 6;
constexpr Status kErrorNotEnoughMemory = 8;
constexpr Status kErrorInvalidData = 13;
constexpr Status kErrorNotSupported = 50;
constexpr Status kErrorFileExists = 80;
constexpr Status kErrorInvalidParameter = 87;
constexpr Status kErrorInvalidName = 123;
constexpr Status kErrorMoreData = 234;
constexpr Status kErrorNoMoreItems = 259;
constexpr Status kErrorNoMoreFiles = 18;
constexpr Status kErrorFileTooLarge = 223;
constexpr Status kErrorKeyDeleted = 1018;
constexpr Status kErrorNotAllAssigned = 1300;
constexpr Status kErrorCancelled = 1223;
constexpr Status kErrorInvalidDatatype = 1804;
// ERROR_CANT_ACCESS_FILE: the engine's answer for a name that is a link and must not be changed,
// and the store's for a file it did not make (another owner, others may write it, read-only,
// more than one name, a link): such a file is never read.
constexpr Status kErrorCantAccessFile = 1920;

// Registry value types.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

// Registry access masks.
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyReadWrite = kKeyRead | kKeyWrite;  // 0x2001F
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kFileAllAccess = 0x1F01FF;

// File attributes.
constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
constexpr std::uint32_t kFileAttributeReadOnly = 0x1;
constexpr std::uint32_t kFileAttributeHidden = 0x2;
constexpr std::uint32_t kFileAttributeSystem = 0x4;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kFileAttributeNormal = 0x80;
constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;

// Access masks and access list entry fields.
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint8_t kAccessAllowedAceType = 0;
constexpr std::uint8_t kAccessDeniedAceType = 1;
constexpr std::uint8_t kObjectInheritAce = 0x01;
constexpr std::uint8_t kContainerInheritAce = 0x02;
constexpr std::uint8_t kInheritOnlyAce = 0x08;
constexpr std::uint8_t kInheritedAce = 0x10;

// The well-known SID of "Everyone" (WinWorldSid); the account name is localised.
constexpr const char* kEveryoneSid = "S-1-1-0";
// BUILTIN\Administrators (WinBuiltinAdministratorsSid): enabled only in an elevated token.
constexpr const char* kBuiltinAdministratorsSid = "S-1-5-32-544";

}  // namespace brenvik
