// The control-hosting calls of the system's ATL library (atl.dll), which MinGW declares in no
// header; atl.dll is delay-loaded (cmake/delay_load.cmake).
#pragma once

#include <windows.h>
#include <unknwn.h>

extern "C" {
BOOL WINAPI AtlAxWinInit(void);
HRESULT WINAPI AtlAxGetControl(HWND hWnd, IUnknown** pp);
}
