// Win32Platform's shortcut port over the shell link object (IShellLinkA + IPersistFile).
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

// The wide path buffer holds MAX_PATH units; longer paths are refused, never cut.
constexpr std::size_t kMaxLinkPath = MAX_PATH - 1;
constexpr int kArgumentsBuffer = 4096;

// Released in reverse order of the members: the IPersistFile first, then the IShellLinkA.
struct LoadedLink {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    WCHAR widePath[MAX_PATH] = {};
};

bool LoadLink(const std::string& linkPath, LoadedLink* loaded) {
    if (linkPath.size() > kMaxLinkPath)
        return false;
    // COM stays initialised on this thread; the result is of no interest.
    CoInitialize(nullptr);
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                loaded->link.put())) ||
        !loaded->link)
        return false;
    if (FAILED(loaded->link->QueryInterface(IID_IPersistFile, loaded->file.put())) || !loaded->file)
        return false;
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, loaded->widePath, MAX_PATH);
    return SUCCEEDED(loaded->file->Load(loaded->widePath, STGM_READ));
}

}  // namespace

std::string Win32Platform::readLinkArguments(const std::string& linkPath) {
    LoadedLink loaded;
    if (!LoadLink(linkPath, &loaded))
        return std::string();
    char arguments[kArgumentsBuffer] = {};
    if (FAILED(loaded.link->GetArguments(arguments, kArgumentsBuffer)))
        return std::string();
    // Arguments that fill the whole buffer may come back without their NUL (Wine does that).
    arguments[kArgumentsBuffer - 1] = '\0';
    return arguments;
}

bool Win32Platform::writeLinkArguments(const std::string& linkPath, const std::string& arguments) {
    LoadedLink loaded;
    if (!LoadLink(linkPath, &loaded))
        return false;
    if (FAILED(loaded.link->SetArguments(arguments.c_str())))
        return false;
    return loaded.file->Save(loaded.widePath, TRUE) == S_OK;
}

}  // namespace brenvik
