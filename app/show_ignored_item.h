// "Show ignored" in the main dialog's system menu: while checked, Scan lists the ignored
// findings too. Its state lasts for the session only.
#pragma once

#include <windows.h>

namespace brenvik {

// A system menu identifier: below 0xF000 and a multiple of 16, as WM_SYSCOMMAND requires.
constexpr UINT IDM_SHOW_IGNORED = 0x0120;

// Added unchecked, after the restore item.
void AddShowIgnoredItem(HWND hDialog, int language);
// Checks or unchecks the item to show shown.
void ShowIgnoredChecked(HWND hDialog, bool shown);

}  // namespace brenvik
