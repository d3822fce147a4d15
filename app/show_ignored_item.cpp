#include "app/show_ignored_item.h"

#include "app/ui_text.h"

namespace brenvik {

void AddShowIgnoredItem(HWND hDialog, int language) {
    AppendMenuA(GetSystemMenu(hDialog, FALSE), MF_STRING | MF_UNCHECKED, IDM_SHOW_IGNORED,
                ShowIgnoredMenuText[language]);
}

void ShowIgnoredChecked(HWND hDialog, bool shown) {
    CheckMenuItem(GetSystemMenu(hDialog, FALSE), IDM_SHOW_IGNORED,
                  MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace brenvik
