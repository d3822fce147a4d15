// RegKey values to HKEYs and back: the roots are mapped explicitly because the predefined
// HKEYs are sign-extended on 64-bit Windows.
#pragma once

#include <windows.h>

#include "engine/ports/registry_port.h"

namespace brenvik {

inline HKEY ToHkey(RegKey key) {
    switch (key) {
        case kHKeyClassesRoot:
            return HKEY_CLASSES_ROOT;
        case kHKeyCurrentUser:
            return HKEY_CURRENT_USER;
        case kHKeyLocalMachine:
            return HKEY_LOCAL_MACHINE;
        default:
            return reinterpret_cast<HKEY>(key);
    }
}

inline RegKey FromHkey(HKEY key) {
    if (key == HKEY_CLASSES_ROOT)
        return kHKeyClassesRoot;
    if (key == HKEY_CURRENT_USER)
        return kHKeyCurrentUser;
    if (key == HKEY_LOCAL_MACHINE)
        return kHKeyLocalMachine;
    return reinterpret_cast<RegKey>(key);
}

}  // namespace brenvik
