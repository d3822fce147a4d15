// Keeps the Escape key away from a dialog whose IDCANCEL command does real work.
#pragma once

#include <windows.h>

namespace brenvik {

// The dialog manager turns Escape into WM_COMMAND IDCANCEL with the IDCANCEL control as
// lParam, which cannot be told apart from a click on that control. The main dialog's
// IDCANCEL is Fix, so Escape would repair. This filter drops Escape key presses aimed at the
// dialog or its controls before the modal loop hands them to the dialog manager; clicks,
// Space on the focused button and every other window (the about box included) are untouched.
// One filter per process, installed on the dialog's thread.
class EscapeFilter {
public:
    EscapeFilter() = default;
    EscapeFilter(const EscapeFilter&) = delete;
    EscapeFilter& operator=(const EscapeFilter&) = delete;
    ~EscapeFilter();

    // Starts filtering for hDialog on the calling thread; false when the hook could not be set.
    bool Attach(HWND hDialog);

private:
    HHOOK m_hHook = nullptr;
};

}  // namespace brenvik
