// The shell link object as both shortcut ports load it: created on this thread's COM, and
// loaded by its path through IPersistFile, as the shell itself loads it.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "engine/ports/win_status.h"
#include "platform/win32/handles.h"

namespace brenvik {

// A Win32 error carried in an HRESULT as itself; any other failure means the file is no
// shortcut that can be loaded or saved.
Status LinkStatusOf(HRESULT result);

// A new, empty shell link.
Status NewLink(ComPtr<IShellLinkW>* link);

// The shortcut at path loaded for reading; a path longer than MAX_PATH units less the NUL is
// refused (ERROR_PATH_NOT_FOUND), never cut. Callers declare link before file, so that the
// IPersistFile is released first.
Status LoadLink(const std::string& path, ComPtr<IShellLinkW>* link, ComPtr<IPersistFile>* file);

}  // namespace brenvik
