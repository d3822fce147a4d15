// Access lists as security descriptor definition language text (the DACL part only), the
// form in which the journal keeps the lists it must be able to put back.
#pragma once

#include <string>

#include "engine/ports/access_port.h"

namespace brenvik {

// "D:P(A;OICI;0x1f01ff;;;S-1-5-32-544)...", or "D:NO_ACCESS_CONTROL" for a null list.
// Empty when the list holds an entry other than an allowed or denied one, which this form
// cannot carry exactly: such a list must not be changed, since it could not be put back.
std::string AccessListToSddl(const AccessList& list);

// The inverse of AccessListToSddl; false on anything it would not have written.
bool AccessListFromSddl(const std::string& text, AccessList* list);

}  // namespace brenvik
