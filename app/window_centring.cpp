#include "app/window_centring.h"

namespace brenvik {

namespace {

LONG Clamp(LONG position, LONG size, LONG lower, LONG upper) {
    if (position + size > upper) {
        position = upper - size;
    }
    if (position < lower) {
        position = lower;
    }
    return position;
}

HWND UsableOwner(HWND hWindow) {
    const HWND hOwner = GetWindow(hWindow, GW_OWNER);
    if (hOwner == nullptr || !IsWindowVisible(hOwner) || IsIconic(hOwner)) {
        return nullptr;
    }
    return hOwner;
}

}  // namespace

POINT CenteredPosition(const RECT& window, const RECT& reference, const RECT& workArea) {
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    const LONG left = (reference.left + reference.right) / 2 - width / 2;
    const LONG top = (reference.top + reference.bottom) / 2 - height / 2;
    return POINT{Clamp(left, width, workArea.left, workArea.right),
                 Clamp(top, height, workArea.top, workArea.bottom)};
}

void CenterWindow(HWND hWindow) {
    RECT window;
    if (!GetWindowRect(hWindow, &window)) {
        return;
    }
    const HWND hOwner = UsableOwner(hWindow);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    const HMONITOR hMonitor =
        MonitorFromWindow(hOwner != nullptr ? hOwner : hWindow, MONITOR_DEFAULTTONEAREST);
    if (!GetMonitorInfoA(hMonitor, &monitor)) {
        return;
    }
    RECT reference = monitor.rcWork;
    if (hOwner != nullptr) {
        GetWindowRect(hOwner, &reference);
    }
    const POINT position = CenteredPosition(window, reference, monitor.rcWork);
    SetWindowPos(hWindow, nullptr, position.x, position.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace brenvik
