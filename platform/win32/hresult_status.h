// The status a failed COM or shell call reports through the ports.
#pragma once

#include <windows.h>

#include "engine/ports/win_status.h"

namespace brenvik {

// A Win32 error carried in an HRESULT as itself; any other failure as otherwise.
inline Status StatusOfHresult(HRESULT result, Status otherwise) {
    if (SUCCEEDED(result))
        return kErrorSuccess;
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        return static_cast<Status>(HRESULT_CODE(result));
    return otherwise;
}

}  // namespace brenvik
