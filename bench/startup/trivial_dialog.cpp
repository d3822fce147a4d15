// The least a program with the main window's outline does to show it: one modal dialog from a
// template, four buttons that do nothing, closed by its close box.
#include <windows.h>

namespace {

constexpr int kTrivialDialog = 101;

INT_PTR CALLBACK TrivialDialogProc(HWND hDlg, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_CLOSE) {
        EndDialog(hDlg, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(kTrivialDialog), nullptr, TrivialDialogProc, 0);
    return 0;
}
