// "Restore last repair" in the main dialog's system menu, and its confirmation.
#pragma once

#include <windows.h>

namespace brenvik {

// A system menu identifier: below 0xF000 and a multiple of 16, as WM_SYSCOMMAND requires.
constexpr UINT IDM_RESTORE_LAST = 0x0110;

void AddRestoreMenuItem(HWND hDialog, int language);

// Asks, in the interface language, whether the newest backup set is to be put back; false
// when the answer is no, or when there is none (the status line then says so).
bool ConfirmRestore(HWND hDialog, int language);

}  // namespace brenvik
