#include "app/restore_menu.h"

#include <cstdio>
#include <vector>

#include "app/scan_thread.h"
#include "app/ui_text.h"
#include "engine/commands/commands.h"
#include "res/resource.h"

namespace brenvik {

void AddRestoreMenuItem(HWND hDialog, int language) {
    HMENU menu = GetSystemMenu(hDialog, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_RESTORE_LAST, RestoreMenuText[language]);
}

bool NewestSetId(StorePort& store, std::string* id) {
    std::vector<SetListing> sets;
    if (ListSets(store, &sets) != kErrorSuccess || sets.empty())
        return false;
    *id = sets.back().header.id;
    return true;
}

bool ConfirmRestore(HWND hDialog, int language, std::string* id) {
    std::string newest;
    if (!NewestSetId(ProcessPorts().store, &newest)) {
        SetDlgItemTextA(hDialog, IDC_STATUS, NoBackupText[language]);
        return false;
    }
    char question[512];
    std::snprintf(question, sizeof question, RestoreConfirmText[language], newest.c_str());
    if (MessageBoxA(hDialog, question, TitleText[language],
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    *id = newest;
    return true;
}

}  // namespace brenvik
