#include "app/banner_picture.h"

#include <commctrl.h>

#include <vector>

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

// Bitmap 111's own size; bitmap 112 is the same drawing at twice it.
constexpr SIZE kDrawingSize = {402, 102};
constexpr UINT_PTR kPictureOwnerId = 1;

UniqueBitmap LoadDrawing(int id) {
    return UniqueBitmap(static_cast<HBITMAP>(
        LoadImageA(g_hInstance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

// 32-bit pixels, rows from the top.
BITMAPINFO PixelFormat(SIZE size) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// One coordinate of a bilinear sample: the two source indices and the weight of the second.
struct Sample {
    LONG first;
    LONG second;
    int weight;  // of 256
};

Sample SampleAt(LONG target, LONG targetSize, LONG sourceSize) {
    const double position = (target + 0.5) * sourceSize / targetSize - 0.5;
    const LONG first = position < 0 ? 0 : static_cast<LONG>(position);
    const LONG second = first + 1 < sourceSize ? first + 1 : first;
    const int weight = position < 0 ? 0 : static_cast<int>((position - first) * 256);
    return {first, second, weight};
}

DWORD Blend(DWORD a, DWORD b, int weight) {
    DWORD result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int from = (a >> shift) & 0xff;
        const int to = (b >> shift) & 0xff;
        result |= static_cast<DWORD>(from + (to - from) * weight / 256) << shift;
    }
    return result;
}

// Bilinear scaling on the pixels themselves: GDI's halftoning took tens of milliseconds under
// Wine, on the way to the first paint. The top byte stays 0, since a static control copies a
// bitmap that has alpha and the copy would not be ours to free.
UniqueBitmap Scaled(HBITMAP hSource, SIZE size) {
    BITMAP source = {};
    if (GetObjectA(hSource, sizeof(source), &source) == 0) {
        return {};
    }
    const SIZE sourceSize = {source.bmWidth, source.bmHeight};
    std::vector<DWORD> from(static_cast<size_t>(sourceSize.cx) * sourceSize.cy);
    BITMAPINFO sourceFormat = PixelFormat(sourceSize);
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc || GetDIBits(dc.get(), hSource, 0, static_cast<UINT>(sourceSize.cy), from.data(),
                         &sourceFormat, DIB_RGB_COLORS) != sourceSize.cy) {
        return {};
    }
    BITMAPINFO format = PixelFormat(size);
    void* bits = nullptr;
    UniqueBitmap canvas(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!canvas) {
        return {};
    }
    auto* to = static_cast<DWORD*>(bits);
    for (LONG y = 0; y < size.cy; ++y) {
        const Sample row = SampleAt(y, size.cy, sourceSize.cy);
        const DWORD* upper = &from[static_cast<size_t>(row.first) * sourceSize.cx];
        const DWORD* lower = &from[static_cast<size_t>(row.second) * sourceSize.cx];
        for (LONG x = 0; x < size.cx; ++x) {
            const Sample column = SampleAt(x, size.cx, sourceSize.cx);
            const DWORD top = Blend(upper[column.first], upper[column.second], column.weight);
            const DWORD bottom = Blend(lower[column.first], lower[column.second], column.weight);
            to[static_cast<size_t>(y) * size.cx + x] = Blend(top, bottom, row.weight);
        }
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
