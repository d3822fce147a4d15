// The program instance, through which the program's own resources are loaded.
#pragma once

#include <windows.h>

namespace brenvik {

// The entry point stores its instance here first; until then it holds the module of the
// running program, so code that runs earlier (and the tests) still finds the resources.
extern HINSTANCE g_hInstance;

}  // namespace brenvik
