#include "app/escape_filter.h"

namespace brenvik {

namespace {

// A hook procedure gets no context pointer; there is one guarded dialog per process.
HWND s_hGuardedDialog = nullptr;

bool IsEscapeFor(const MSG& message, HWND hDialog) {
    return message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
           (message.hwnd == hDialog || IsChild(hDialog, message.hwnd));
}

// Modal dialog loops (DialogBox*, and so the ATL host's) pass each message through
// CallMsgFilter with MSGF_DIALOGBOX before IsDialogMessage; a non-zero result drops it.
LRESULT CALLBACK EscapeFilterProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX && s_hGuardedDialog != nullptr &&
        IsEscapeFor(*reinterpret_cast<const MSG*>(lParam), s_hGuardedDialog)) {
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

EscapeFilter::~EscapeFilter() {
    if (m_hHook != nullptr) {
        UnhookWindowsHookEx(m_hHook);
        s_hGuardedDialog = nullptr;
    }
}

bool EscapeFilter::Attach(HWND hDialog) {
    if (m_hHook == nullptr) {
        m_hHook = SetWindowsHookExA(WH_MSGFILTER, EscapeFilterProc, nullptr, GetCurrentThreadId());
    }
    s_hGuardedDialog = m_hHook != nullptr ? hDialog : nullptr;
    return m_hHook != nullptr;
}

}  // namespace brenvik
