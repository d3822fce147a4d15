// A report row's context menu: Ignore or Stop ignoring, Copy details, Open file location.
#pragma once

#include <windows.h>

#include <vector>

#include "engine/views/result_record.h"

namespace brenvik {

class ScanView;

// WM_COMMAND identifiers of the items, clear of the dialog's controls; each acts on the
// selected row (a right click selects the row under it before the menu opens).
enum RowCommand : WORD {
    IDM_ROW_IGNORE = 40001,
    IDM_ROW_UNIGNORE,
    IDM_ROW_COPY,
    IDM_ROW_OPEN,
};

// What the menu of a row with this record offers, in menu order: Ignore for a finding still
// there, Stop ignoring for an ignored one, Copy details always, Open file location for a file.
std::vector<RowCommand> RowCommands(const ResultRecord& record);

// The row at position (screen coordinates of a WM_CONTEXTMENU; -1,-1 from the keyboard means
// the selected row), or -1 when there is none.
int ContextRow(const ScanView& view, LPARAM position);

// Opens the row's menu by its row (at the mouse, or below the row from the keyboard); the
// chosen item reaches hDialog as WM_COMMAND. busy greys what has to run as a command.
void ShowRowMenu(HWND hDialog, const ScanView& view, int row, LPARAM position, bool busy);

}  // namespace brenvik
