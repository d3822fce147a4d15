// How a port call opens the object it works on: as the caller's token allows, or with backup
// intent, which the backup and restore privileges (once enabled) let through a refusing list.
#pragma once

namespace brenvik {

// Each port method that takes a mode says which Win32 flag BackupIntent sets:
// REG_OPTION_BACKUP_RESTORE for keys, FILE_FLAG_BACKUP_SEMANTICS for CreateFileW opens,
// FILE_OPEN_FOR_BACKUP_INTENT for NtCreateFile opens. Without the privileges enabled it opens
// as AsIs does.
enum class OpenMode { AsIs, BackupIntent };

}  // namespace brenvik
