// Win32Platform's shortcut details and target rewrites (IShellLinkW), and Internet shortcut
// text; the ForBackup forms move the file's bytes through backup semantics.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/shell_link.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// An Internet shortcut is smaller than a shortcut (kMaxLinkBytes).
constexpr DWORD kMaxTextBytes = 64 * 1024;
constexpr int kTextBuffer = 4096;

Status LastError() {
    return static_cast<Status>(GetLastError());
}

UniqueHfile OpenFile(const std::string& path, DWORD access, DWORD share, bool backup) {
    return UniqueHfile(CreateFileW(Utf8ToWide(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                                   backup ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr));
}

Status ReadBytes(const std::string& path, bool backup, std::uint64_t limit, std::string* bytes) {
    bytes->clear();
    UniqueHfile file = OpenFile(path, GENERIC_READ, kShareAll, backup);
    if (!file)
        return LastError();
    return ReadWholeFile(file.get(), limit, bytes);
}

// Loaded from the file's bytes, read with backup semantics.
Status LoadLinkForBackup(const std::string& path, ComPtr<IShellLinkW>* link) {
    std::string bytes;
    if (Status s = ReadBytes(path, true, kMaxLinkBytes, &bytes))
        return s;
    return LoadLinkFromBytes(bytes, link);
}

// Saved as a stream and written over the file's bytes with backup semantics, flushed.
Status SaveLinkForBackup(IShellLinkW* link, const std::string& path) {
    std::string bytes;
    if (Status s = SaveLinkToBytes(link, &bytes))
        return s;
    UniqueHfile file = OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, true);
    if (!file)
        return LastError();
    return RewriteDurably(file.get(), bytes);
}

// GetPath, GetArguments and GetIconLocation; a getter may leave its buffer without a NUL when
// the text fills it (Wine does), so the last unit is always one.
Status ReadDetails(IShellLinkW* link, LinkDetails* details) {
    WCHAR text[kTextBuffer] = {};
    // S_FALSE (no path, as for a shortcut to a shell item) reads as an empty target.
    if (Status s = LinkStatusOf(link->GetPath(text, kTextBuffer, nullptr, SLGP_RAWPATH)))
        return s;
    text[kTextBuffer - 1] = L'\0';
    details->target = WideToUtf8(text);
    text[0] = L'\0';
    if (Status s = LinkStatusOf(link->GetArguments(text, kTextBuffer)))
        return s;
    text[kTextBuffer - 1] = L'\0';
    details->arguments = WideToUtf8(text);
    text[0] = L'\0';
    int index = 0;
    if (SUCCEEDED(link->GetIconLocation(text, kTextBuffer, &index))) {
        text[kTextBuffer - 1] = L'\0';
        details->iconPath = WideToUtf8(text);
    }
    return kErrorSuccess;
}

Status SetTarget(IShellLinkW* link, const std::string& target, const std::string& arguments) {
    if (Status s = LinkStatusOf(link->SetPath(Utf8ToWide(target).c_str())))
        return s;
    return LinkStatusOf(link->SetArguments(Utf8ToWide(arguments).c_str()));
}

}  // namespace

Status Win32Platform::readLinkDetails(const std::string& linkPath, LinkDetails* details) {
    *details = LinkDetails{};
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (Status s = LoadLink(linkPath, &link, &file))
        return s;
    return ReadDetails(link.get(), details);
}

Status Win32Platform::writeLinkTarget(const std::string& linkPath, const std::string& target,
                                      const std::string& arguments) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (Status s = LoadLink(linkPath, &link, &file))
        return s;
    if (Status s = SetTarget(link.get(), target, arguments))
        return s;
    // Only S_OK means the file was written.
    const HRESULT saved = file->Save(Utf8ToWide(linkPath).c_str(), TRUE);
    return saved == S_OK ? kErrorSuccess : LinkStatusOf(FAILED(saved) ? saved : E_FAIL);
}

Status Win32Platform::readFileText(const std::string& path, std::string* text) {
    return ReadBytes(path, false, kMaxTextBytes, text);
}

Status Win32Platform::readLinkArgumentsForBackup(const std::string& linkPath,
                                                 std::string* arguments) {
    arguments->clear();
    ComPtr<IShellLinkW> link;
    if (Status s = LoadLinkForBackup(linkPath, &link))
        return s;
    // The arguments buffer of the first scanners: 4096 units, the last one always a NUL.
    WCHAR text[kTextBuffer] = {};
    if (Status s = LinkStatusOf(link->GetArguments(text, kTextBuffer)))
        return s;
    text[kTextBuffer - 1] = L'\0';
    *arguments = WideToUtf8(text);
    return kErrorSuccess;
}

Status Win32Platform::writeLinkArgumentsForBackup(const std::string& linkPath,
                                                  const std::string& arguments) {
    ComPtr<IShellLinkW> link;
    if (Status s = LoadLinkForBackup(linkPath, &link))
        return s;
    if (Status s = LinkStatusOf(link->SetArguments(Utf8ToWide(arguments).c_str())))
        return s;
    return SaveLinkForBackup(link.get(), linkPath);
}

Status Win32Platform::readLinkDetailsForBackup(const std::string& linkPath, LinkDetails* details) {
    *details = LinkDetails{};
    ComPtr<IShellLinkW> link;
    if (Status s = LoadLinkForBackup(linkPath, &link))
        return s;
    return ReadDetails(link.get(), details);
}

Status Win32Platform::writeLinkTargetForBackup(const std::string& linkPath,
                                               const std::string& target,
                                               const std::string& arguments) {
    ComPtr<IShellLinkW> link;
    if (Status s = LoadLinkForBackup(linkPath, &link))
        return s;
    if (Status s = SetTarget(link.get(), target, arguments))
        return s;
    return SaveLinkForBackup(link.get(), linkPath);
}

Status Win32Platform::readFileTextForBackup(const std::string& path, std::string* text) {
    return ReadBytes(path, true, kMaxTextBytes, text);
}

Status Win32Platform::rewriteLinkTarget(FileHandle file, const std::string& target,
                                        const std::string& arguments) {
    return RewriteOpenLink(PortHandle(file),
                           [&](IShellLinkW* link) { return SetTarget(link, target, arguments); });
}

}  // namespace brenvik
