#include "app/banner_picture.h"

#include <commctrl.h>

#include "app/instance.h"
#include "platform/win32/handles.h"
#include "res/resource.h"

namespace brenvik {

namespace {

struct BitmapTraits {
    static HBITMAP empty() { return nullptr; }
    static void close(HBITMAP bitmap) { DeleteObject(bitmap); }
};
struct MemoryDcTraits {
    static HDC empty() { return nullptr; }
    static void close(HDC dc) { DeleteDC(dc); }
};
using UniqueBitmap = UniqueResource<HBITMAP, BitmapTraits>;
using UniqueMemoryDc = UniqueResource<HDC, MemoryDcTraits>;

// Keeps an object selected into a device context for a scope.
class Selection {
public:
    Selection(HDC hdc, HGDIOBJ object) : m_hdc(hdc), m_hOld(SelectObject(hdc, object)) {}
    ~Selection() { SelectObject(m_hdc, m_hOld); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_hOld;
};

// Bitmap 111's own size; bitmap 112 is the same drawing at twice it.
constexpr SIZE kDrawingSize = {402, 102};
constexpr UINT_PTR kPictureOwnerId = 1;

UniqueBitmap LoadDrawing(int id) {
    return UniqueBitmap(static_cast<HBITMAP>(
        LoadImageA(g_hInstance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

// 24 bits: a static control copies a bitmap that has alpha, and the copy would not be ours.
UniqueBitmap CreateCanvas(SIZE size) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return UniqueBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

// Halftoning averages the source pixels under each target pixel, so a drawing scaled down
// keeps clean edges where nearest-pixel stretching would drop or double its lines.
UniqueBitmap Scaled(HBITMAP hSource, SIZE size) {
    BITMAP source = {};
    UniqueBitmap canvas = CreateCanvas(size);
    const UniqueMemoryDc sourceDc(CreateCompatibleDC(nullptr));
    const UniqueMemoryDc canvasDc(CreateCompatibleDC(nullptr));
    if (!canvas || !sourceDc || !canvasDc || GetObjectA(hSource, sizeof(source), &source) == 0) {
        return {};
    }
    const Selection from(sourceDc.get(), hSource);
    const Selection to(canvasDc.get(), canvas.get());
    SetStretchBltMode(canvasDc.get(), HALFTONE);
    SetBrushOrgEx(canvasDc.get(), 0, 0, nullptr);
    if (!StretchBlt(canvasDc.get(), 0, 0, size.cx, size.cy, sourceDc.get(), 0, 0, source.bmWidth,
                    source.bmHeight, SRCCOPY)) {
        return {};
    }
    return canvas;
}

UniqueBitmap PictureOfSize(SIZE size) {
    if (size.cx == kDrawingSize.cx && size.cy == kDrawingSize.cy) {
        return LoadDrawing(IDB_BANNER);
    }
    const bool larger = size.cx > kDrawingSize.cx || size.cy > kDrawingSize.cy;
    const UniqueBitmap drawing = LoadDrawing(larger ? IDB_BANNER_2X : IDB_BANNER);
    return drawing ? Scaled(drawing.get(), size) : UniqueBitmap();
}

// A static never frees an image it was given: this one frees the picture with the window.
LRESULT CALLBACK PictureOwnerProc(HWND hPicture, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR bitmap) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hPicture, PictureOwnerProc, id);
        DeleteObject(reinterpret_cast<HBITMAP>(bitmap));
    }
    return DefSubclassProc(hPicture, message, wParam, lParam);
}

bool ShowsSize(HWND hPicture, SIZE size) {
    BITMAP shown = {};
    const auto hShown =
        reinterpret_cast<HBITMAP>(SendMessageA(hPicture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    return hShown != nullptr && GetObjectA(hShown, sizeof(shown), &shown) != 0 &&
           shown.bmWidth == size.cx && shown.bmHeight == size.cy;
}

}  // namespace

void FitBannerPicture(HWND hPicture, const RECT& area) {
    const SIZE size = {area.right - area.left, area.bottom - area.top};
    if (ShowsSize(hPicture, size)) {
        return;
    }
    UniqueBitmap picture = PictureOfSize(size);
    if (!picture || !SetWindowSubclass(hPicture, PictureOwnerProc, kPictureOwnerId,
                                       reinterpret_cast<DWORD_PTR>(picture.get()))) {
        return;
    }
    // The static loaded the template's bitmap itself; once replaced, nothing else frees it.
    const UniqueBitmap replaced(reinterpret_cast<HBITMAP>(SendMessageA(
        hPicture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.release()))));
    SetWindowPos(hPicture, nullptr, area.left, area.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace brenvik
