// Win32Platform's shortcut port over the shell link object (IShellLinkW + IPersistFile).
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

// Paths longer than MAX_PATH units less the NUL are refused, never cut.
constexpr std::size_t kMaxLinkPath = MAX_PATH - 1;
constexpr int kArgumentsBuffer = 4096;

// Released in reverse order of the members: the IPersistFile first, then the IShellLinkW.
struct LoadedLink {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    std::wstring widePath;
};

// A Win32 error carried in an HRESULT as itself; any other failure means the file is no
// shortcut that can be loaded or saved.
Status StatusOf(HRESULT result) {
    if (SUCCEEDED(result))
        return kErrorSuccess;
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        return static_cast<Status>(HRESULT_CODE(result));
    return kErrorInvalidData;
}

Status LoadLink(const std::string& linkPath, LoadedLink* loaded) {
    loaded->widePath = Utf8ToWide(linkPath);
    if (loaded->widePath.size() > kMaxLinkPath)
        return kErrorPathNotFound;
    // COM stays initialised on this thread; the result is of no interest.
    CoInitialize(nullptr);
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, loaded->link.put());
    if (FAILED(result) || !loaded->link)
        return FAILED(result) ? StatusOf(result) : kErrorInvalidData;
    result = loaded->link->QueryInterface(IID_IPersistFile, loaded->file.put());
    if (FAILED(result) || !loaded->file)
        return FAILED(result) ? StatusOf(result) : kErrorInvalidData;
    return StatusOf(loaded->file->Load(loaded->widePath.c_str(), STGM_READ));
}

}  // namespace

Status Win32Platform::readLinkArguments(const std::string& linkPath, std::string* arguments) {
    arguments->clear();
    LoadedLink loaded;
    if (Status s = LoadLink(linkPath, &loaded))
        return s;
    WCHAR text[kArgumentsBuffer] = {};
    if (Status s = StatusOf(loaded.link->GetArguments(text, kArgumentsBuffer)))
        return s;
    // Arguments that fill the whole buffer may come back without their NUL (Wine does that).
    text[kArgumentsBuffer - 1] = L'\0';
    *arguments = WideToUtf8(text);
    return kErrorSuccess;
}

Status Win32Platform::writeLinkArguments(const std::string& linkPath,
                                         const std::string& arguments) {
    LoadedLink loaded;
    if (Status s = LoadLink(linkPath, &loaded))
        return s;
    if (Status s = StatusOf(loaded.link->SetArguments(Utf8ToWide(arguments).c_str())))
        return s;
    // Only S_OK means the file was written.
    const HRESULT saved = loaded.file->Save(loaded.widePath.c_str(), TRUE);
    return saved == S_OK ? kErrorSuccess : StatusOf(FAILED(saved) ? saved : E_FAIL);
}

}  // namespace brenvik
