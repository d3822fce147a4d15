// The about box (dialog 102) and its link label to the maker's web site.
#pragma once

#include <windows.h>

namespace brenvik {

// Dialog procedure of the about box; the owner window's ScanView gives the language.
INT_PTR CALLBACK AboutDialogProc(HWND hAbout, UINT message, WPARAM wParam, LPARAM lParam);

// Texts, underlined font, the link's tooltip tool and the label's subclass.
BOOL InitAboutDialog(HWND hAbout);

// Replaces the link label's procedure: hover tracking, hand cursor, opening the site on a click.
LRESULT CALLBACK HyperlinkLabelProc(HWND hLabel, UINT message, WPARAM wParam, LPARAM lParam);

// The tooltip control that carries the link's tool, created on first use as a popup owned by
// hOwner (the main dialog) and destroyed with it. The main dialog may call this at start.
HWND EnsureLinkToolTip(HWND hOwner);

// The tooltip control, or null before EnsureLinkToolTip.
extern HWND g_hToolTip;

// How the label opens the site; tests replace it.
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern ShellExecuteFunction g_pfnShellExecute;

}  // namespace brenvik
