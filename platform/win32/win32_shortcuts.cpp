// Win32Platform's shortcut port over the shell link object (IShellLinkW): loaded by its path
// through IPersistFile as the shell loads it, or, with backup intent, from the file's bytes
// read with backup semantics and saved back the same way.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "platform/win32/handles.h"
#include "platform/win32/shell_link.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

// The getters' buffers: 4096 units, the last one always a NUL.
constexpr int kTextBuffer = 4096;

Status LastError() {
    return static_cast<Status>(GetLastError());
}

UniqueHfile OpenBackupFile(const std::string& path, DWORD access, DWORD share) {
    return UniqueHfile(CreateFileW(Utf8ToWide(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// A shortcut loaded once, by path or, with backup intent, from its bytes; file is set only
// for the path load, whose save goes through it. link is declared before file, so that the
// IPersistFile is released first.
struct LoadedLink {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
};

Status Load(const std::string& path, OpenMode mode, LoadedLink* loaded) {
    if (mode == OpenMode::AsIs)
        return LoadLink(path, &loaded->link, &loaded->file);
    std::string bytes;
    UniqueHfile file =
        OpenBackupFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!file)
        return LastError();
    if (Status s = ReadWholeFile(file.get(), kMaxLinkBytes, &bytes))
        return s;
    return LoadLinkFromBytes(bytes, &loaded->link);
}

Status Save(const std::string& path, LoadedLink& loaded) {
    if (loaded.file) {
        // Only S_OK means the file was written.
        const HRESULT saved = loaded.file->Save(Utf8ToWide(path).c_str(), TRUE);
        return saved == S_OK ? kErrorSuccess : LinkStatusOf(FAILED(saved) ? saved : E_FAIL);
    }
    std::string bytes;
    if (Status s = SaveLinkToBytes(loaded.link.get(), &bytes))
        return s;
    UniqueHfile file = OpenBackupFile(path, GENERIC_WRITE, FILE_SHARE_READ);
    if (!file)
        return LastError();
    return RewriteDurably(file.get(), bytes);
}

// A getter may leave its buffer without a NUL when the text fills it (Wine does).
std::string Terminated(WCHAR (&text)[kTextBuffer]) {
    text[kTextBuffer - 1] = L'\0';
    return WideToUtf8(text);
}

Status ReadProperties(IShellLinkW* link, ShortcutProperties* properties) {
    if (properties->mask & kShortcutTarget) {
        WCHAR text[kTextBuffer] = {};
        // S_FALSE (no path, as for a shortcut to a shell item) reads as an empty target.
        if (Status s = LinkStatusOf(link->GetPath(text, kTextBuffer, nullptr, SLGP_RAWPATH)))
            return s;
        properties->target = Terminated(text);
    }
    if (properties->mask & kShortcutArguments) {
        WCHAR text[kTextBuffer] = {};
        if (Status s = LinkStatusOf(link->GetArguments(text, kTextBuffer)))
            return s;
        properties->arguments = Terminated(text);
    }
    if (properties->mask & kShortcutIcon) {
        WCHAR text[kTextBuffer] = {};
        int index = 0;
        if (SUCCEEDED(link->GetIconLocation(text, kTextBuffer, &index)))
            properties->iconPath = Terminated(text);
    }
    return kErrorSuccess;
}

Status SetProperties(IShellLinkW* link, const ShortcutProperties& properties) {
    if (properties.mask & kShortcutTarget) {
        if (Status s = LinkStatusOf(link->SetPath(Utf8ToWide(properties.target).c_str())))
            return s;
    }
    if (properties.mask & kShortcutArguments) {
        if (Status s = LinkStatusOf(link->SetArguments(Utf8ToWide(properties.arguments).c_str())))
            return s;
    }
    if (properties.mask & kShortcutIcon) {
        // The icon's index stays as loaded.
        WCHAR text[kTextBuffer] = {};
        int index = 0;
        link->GetIconLocation(text, kTextBuffer, &index);
        return LinkStatusOf(link->SetIconLocation(Utf8ToWide(properties.iconPath).c_str(), index));
    }
    return kErrorSuccess;
}

void ClearFields(ShortcutProperties* properties) {
    properties->target.clear();
    properties->arguments.clear();
    properties->iconPath.clear();
}

}  // namespace

Status Win32Platform::readShortcut(const std::string& linkPath, OpenMode mode,
                                   ShortcutProperties* properties) {
    ClearFields(properties);
    LoadedLink loaded;
    Status s = Load(linkPath, mode, &loaded);
    if (s == kErrorSuccess)
        s = ReadProperties(loaded.link.get(), properties);
    if (s != kErrorSuccess)
        ClearFields(properties);
    return s;
}

Status Win32Platform::writeShortcut(const std::string& linkPath, OpenMode mode,
                                    const ShortcutProperties& properties) {
    LoadedLink loaded;
    if (Status s = Load(linkPath, mode, &loaded))
        return s;
    if (Status s = SetProperties(loaded.link.get(), properties))
        return s;
    return Save(linkPath, loaded);
}

Status Win32Platform::rewriteShortcut(FileHandle file, const ShortcutProperties& properties) {
    return RewriteOpenLink(PortHandle(file),
                           [&](IShellLinkW* link) { return SetProperties(link, properties); });
}

}  // namespace brenvik
