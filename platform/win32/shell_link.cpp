#include "platform/win32/shell_link.h"

#include <shlwapi.h>

#include "platform/win32/hresult_status.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/whole_file.h"

namespace brenvik {
namespace {

constexpr std::size_t kMaxLinkPath = MAX_PATH - 1;

}  // namespace

Status LinkStatusOf(HRESULT result) {
    return StatusOfHresult(result, kErrorInvalidData);
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

Status LoadLinkFromBytes(const std::string& bytes, ComPtr<IShellLinkW>* link) {
    ComPtr<IStream> stream;
    *stream.put() = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                      static_cast<UINT>(bytes.size()));
    if (!stream)
        return kErrorNotEnoughMemory;
    if (Status s = NewLink(link))
        return s;
    ComPtr<IPersistStream> persist;
    if (Status s = LinkStatusOf((*link)->QueryInterface(IID_IPersistStream, persist.put())))
        return s;
    return LinkStatusOf(persist->Load(stream.get()));
}

Status SaveLinkToBytes(IShellLinkW* link, std::string* bytes) {
    bytes->clear();
    ComPtr<IPersistStream> persist;
    if (Status s = LinkStatusOf(link->QueryInterface(IID_IPersistStream, persist.put())))
        return s;
    ComPtr<IStream> stream;
    *stream.put() = SHCreateMemStream(nullptr, 0);
    if (!stream)
        return kErrorNotEnoughMemory;
    if (Status s = LinkStatusOf(persist->Save(stream.get(), TRUE)))
        return s;
    STATSTG stat = {};
    if (Status s = LinkStatusOf(stream->Stat(&stat, STATFLAG_NONAME)))
        return s;
    if (stat.cbSize.QuadPart > kMaxLinkBytes)
        return kErrorInvalidData;
    bytes->resize(static_cast<std::size_t>(stat.cbSize.QuadPart));
    const LARGE_INTEGER start = {};
    ULONG read = 0;
    if (Status s = LinkStatusOf(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
        return s;
    if (Status s =
            LinkStatusOf(stream->Read(bytes->data(), static_cast<ULONG>(bytes->size()), &read)))
        return s;
    bytes->resize(read);
    return kErrorSuccess;
}

Status ReadWholeOpenFile(HANDLE file, std::uint64_t limit, std::string* bytes) {
    const LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return static_cast<Status>(GetLastError());
    return ReadWholeFile(file, limit, bytes);
}

Status RewriteWholeOpenFile(HANDLE file, const std::string& bytes) {
    return RewriteDurably(file, bytes);
}

}  // namespace brenvik
