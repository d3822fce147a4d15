#include "app/row_menu.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/scan_view.h"
#include "app/ui_text.h"

namespace brenvik {
namespace {

// WM_CONTEXTMENU from the keyboard: both coordinates -1, however wide the LPARAM is filled.
bool FromKeyboard(LPARAM position) {
    return GET_X_LPARAM(position) == -1 && GET_Y_LPARAM(position) == -1;
}

class UniqueMenu {
public:
    UniqueMenu() : m_hMenu(CreatePopupMenu()) {}
    ~UniqueMenu() {
        if (m_hMenu != nullptr)
            DestroyMenu(m_hMenu);
    }
    UniqueMenu(const UniqueMenu&) = delete;
    UniqueMenu& operator=(const UniqueMenu&) = delete;
    HMENU get() const { return m_hMenu; }

private:
    HMENU m_hMenu;
};

bool ChangesTheList(RowCommand command) {
    return command == IDM_ROW_IGNORE || command == IDM_ROW_UNIGNORE;
}

POINT MenuPoint(const ScanView& view, int row, LPARAM position) {
    if (!FromKeyboard(position))
        return POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    RECT bounds = {};
    bounds.left = LVIR_LABEL;
    SendMessageA(view.m_hList, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&bounds));
    POINT point = {bounds.left, bounds.bottom};
    ClientToScreen(view.m_hList, &point);
    return point;
}

}  // namespace

std::vector<RowCommand> RowCommands(const ResultRecord& record) {
    std::vector<RowCommand> commands;
    if (!record.id.empty()) {
        switch (record.result) {
            case Outcome::Found:
            case Outcome::Failed:
            case Outcome::NotSelected:
            case Outcome::ReportOnly:
                commands.push_back(IDM_ROW_IGNORE);
                break;
            case Outcome::Ignored:
                commands.push_back(IDM_ROW_UNIGNORE);
                break;
            default:
                break;
        }
    }
    commands.push_back(IDM_ROW_COPY);
    if (NamesAFile(record))
        commands.push_back(IDM_ROW_OPEN);
    return commands;
}

int ContextRow(const ScanView& view, LPARAM position) {
    if (FromKeyboard(position))
        return view.SelectedRow();
    LVHITTESTINFO hit = {};
    hit.pt = POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ScreenToClient(view.m_hList, &hit.pt);
    const int row = static_cast<int>(
        SendMessageA(view.m_hList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & LVHT_ONITEM) != 0 ? row : -1;
}

void ShowRowMenu(HWND hDialog, const ScanView& view, int row, LPARAM position, bool busy) {
    ResultRecord record;
    if (!view.RecordAt(row, &record))
        return;
    const UniqueMenu menu;
    if (menu.get() == nullptr)
        return;
    const int language = view.m_nLanguage;
    for (RowCommand command : RowCommands(record)) {
        const UINT flags = MF_STRING | (busy && ChangesTheList(command) ? MF_GRAYED : 0);
        AppendMenuA(menu.get(), flags, command, RowMenuTexts[language][command - IDM_ROW_IGNORE]);
    }
    const POINT point = MenuPoint(view, row, position);
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0,
                   hDialog, nullptr);
}

}  // namespace brenvik
