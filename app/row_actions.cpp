#include "app/row_actions.h"

#include <shlobj.h>

#include <cstring>
#include <memory>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"

namespace brenvik {
namespace {

// Open for the scope; the data handed to SetClipboardData belongs to the clipboard after.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND hOwner) : m_open(OpenClipboard(hOwner) != FALSE) {}
    ~OpenedClipboard() {
        if (m_open)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool open() const { return m_open; }

private:
    bool m_open;
};

struct GlobalRelease {
    void operator()(void* memory) const { GlobalFree(memory); }
};
using UniqueGlobal = std::unique_ptr<void, GlobalRelease>;

struct ItemIdFree {
    void operator()(ITEMIDLIST* item) const { CoTaskMemFree(item); }
};
using UniqueItemId = std::unique_ptr<ITEMIDLIST, ItemIdFree>;

UniqueGlobal GlobalText(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return memory;
    void* locked = GlobalLock(memory.get());
    if (locked == nullptr)
        return UniqueGlobal();
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    return memory;
}

}  // namespace

bool CopyToClipboard(HWND hOwner, const std::wstring& text) {
    UniqueGlobal memory = GlobalText(text);
    const OpenedClipboard clipboard(hOwner);
    if (!memory || !clipboard.open() || !EmptyClipboard())
        return false;
    if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr)
        return false;
    memory.release();  // the clipboard's now
    return true;
}

bool ShowInFolder(const std::string& path) {
    const ComInit com;
    PIDLIST_ABSOLUTE parsed = nullptr;
    if (FAILED(SHParseDisplayName(Utf8ToWide(path).c_str(), nullptr, &parsed, 0, nullptr)))
        return false;
    const UniqueItemId item(parsed);
    return SUCCEEDED(SHOpenFolderAndSelectItems(item.get(), 0, nullptr, 0));
}

}  // namespace brenvik
