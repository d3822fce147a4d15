#include "app/instance.h"

namespace brenvik {

HINSTANCE g_hInstance = GetModuleHandleA(NULL);

}  // namespace brenvik
