#include "platform/win32/shell_link.h"

#include "platform/win32/wide_text.h"

namespace brenvik {
namespace {

constexpr std::size_t kMaxLinkPath = MAX_PATH - 1;

}  // namespace

Status LinkStatusOf(HRESULT result) {
    if (SUCCEEDED(result))
        return kErrorSuccess;
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        return static_cast<Status>(HRESULT_CODE(result));
    return kErrorInvalidData;
}

Status NewLink(ComPtr<IShellLinkW>* link) {
    CoInitialize(nullptr);  // stays initialised on this thread; the result is of no interest
    if (Status s = LinkStatusOf(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                 IID_IShellLinkW, link->put())))
        return s;
    return *link ? kErrorSuccess : kErrorInvalidData;
}

Status LoadLink(const std::string& path, ComPtr<IShellLinkW>* link, ComPtr<IPersistFile>* file) {
    const std::wstring widePath = Utf8ToWide(path);
    if (widePath.size() > kMaxLinkPath)
        return kErrorPathNotFound;
    if (Status s = NewLink(link))
        return s;
    if (Status s = LinkStatusOf((*link)->QueryInterface(IID_IPersistFile, file->put())))
        return s;
    return LinkStatusOf((*file)->Load(widePath.c_str(), STGM_READ));
}

}  // namespace brenvik
