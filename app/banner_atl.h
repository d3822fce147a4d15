// The control-hosting calls of the system's ATL library (atl.dll); MinGW ships its import
// library, libatl.a, but no header for it.
#pragma once

#include <windows.h>
#include <unknwn.h>

extern "C" {
BOOL WINAPI AtlAxWinInit(void);
HRESULT WINAPI AtlAxGetControl(HWND hWnd, IUnknown** pp);
}
