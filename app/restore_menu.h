// "Restore last repair" in the main dialog's system menu, and its confirmation.
#pragma once

#include <windows.h>

#include <string>

#include "engine/ports/store_port.h"

namespace brenvik {

// A system menu identifier: below 0xF000 and a multiple of 16, as WM_SYSCOMMAND requires.
constexpr UINT IDM_RESTORE_LAST = 0x0110;

void AddRestoreMenuItem(HWND hDialog, int language);

// The id of the newest backup set; false when there is none or the folder is not trusted.
bool NewestSetId(StorePort& store, std::string* id);

// Asks, in the interface language, whether the newest backup set is to be put back, and gives
// its id, the one the question names; false when the answer is no, or when there is none
// (the status line then says so).
bool ConfirmRestore(HWND hDialog, int language, std::string* id);

}  // namespace brenvik
