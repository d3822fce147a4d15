// Win32Platform's shortcut port over the shell link object (IShellLinkW + IPersistFile).
#include <windows.h>

#include "platform/win32/shell_link.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

constexpr int kArgumentsBuffer = 4096;

}  // namespace

Status Win32Platform::readLinkArguments(const std::string& linkPath, std::string* arguments) {
    arguments->clear();
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (Status s = LoadLink(linkPath, &link, &file))
        return s;
    WCHAR text[kArgumentsBuffer] = {};
    if (Status s = LinkStatusOf(link->GetArguments(text, kArgumentsBuffer)))
        return s;
    // Arguments that fill the whole buffer may come back without their NUL (Wine does that).
    text[kArgumentsBuffer - 1] = L'\0';
    *arguments = WideToUtf8(text);
    return kErrorSuccess;
}

Status Win32Platform::writeLinkArguments(const std::string& linkPath,
                                         const std::string& arguments) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (Status s = LoadLink(linkPath, &link, &file))
        return s;
    if (Status s = LinkStatusOf(link->SetArguments(Utf8ToWide(arguments).c_str())))
        return s;
    // Only S_OK means the file was written.
    const HRESULT saved = file->Save(Utf8ToWide(linkPath).c_str(), TRUE);
    return saved == S_OK ? kErrorSuccess : LinkStatusOf(FAILED(saved) ? saved : E_FAIL);
}

Status Win32Platform::rewriteLinkArguments(FileHandle file, const std::string& arguments) {
    return RewriteOpenLink(PortHandle(file), [&](IShellLinkW* link) {
        return LinkStatusOf(link->SetArguments(Utf8ToWide(arguments).c_str()));
    });
}

}  // namespace brenvik
