#include "app/banner_picture.h"

#include <commctrl.h>

#include <cstring>
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
using UniqueBitmap = UniqueResource<HBITMAP, BitmapTraits>;

// Bitmap 111's own size; bitmap 112 is the same drawing at twice it.
constexpr SIZE kDrawingSize = {402, 102};
constexpr UINT_PTR kPictureOwnerId = 1;

UniqueBitmap LoadDrawing(int id) {
    return UniqueBitmap(static_cast<HBITMAP>(
        LoadImageA(g_hInstance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

// A drawing as its resource holds it: an index into the palette for each pixel, rows from the
// bottom. Read in place: LoadImage, GetDIBits, even a copy of the larger drawing's pixels took
// milliseconds under Wine on the way to the first paint.
struct Drawing {
    SIZE size = {};
    DWORD palette[256] = {};  // 0x00RRGGBB, as GetDIBits gives a pixel
    const BYTE* bottomRow = nullptr;
    size_t stride = 0;

    // Row y counted from the top.
    const BYTE* Row(LONG y) const { return bottomRow + (size.cy - 1 - y) * stride; }
};

// The header of bitmap resource id and the bytes it starts; null when it is missing, too
// short, or not the 8-bit uncompressed format the program ships.
const BYTE* EightBitResource(int id, BITMAPINFOHEADER* header) {
    const HRSRC hInfo = FindResourceA(g_hInstance, MAKEINTRESOURCEA(id), RT_BITMAP);
    if (hInfo == nullptr) {
        return nullptr;
    }
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(g_hInstance, hInfo)));
    const DWORD size = SizeofResource(g_hInstance, hInfo);
    if (bytes == nullptr || size < sizeof(*header)) {
        return nullptr;
    }
    memcpy(header, bytes, sizeof(*header));
    if (header->biSize < sizeof(*header) || header->biBitCount != 8 ||
        header->biCompression != BI_RGB || header->biWidth <= 0 || header->biHeight <= 0 ||
        header->biClrUsed > 256) {
        return nullptr;
    }
    const size_t stride = (static_cast<size_t>(header->biWidth) + 3) & ~static_cast<size_t>(3);
    const size_t colours = header->biClrUsed != 0 ? header->biClrUsed : 256;
    const size_t end = header->biSize + colours * sizeof(RGBQUAD) + stride * header->biHeight;
    return end <= size ? bytes : nullptr;
}

// Bitmap resource id as a Drawing; false when it is not as EightBitResource wants it.
bool ReadDrawing(int id, Drawing* drawing) {
    BITMAPINFOHEADER header = {};
    const BYTE* bytes = EightBitResource(id, &header);
    if (bytes == nullptr) {
        return false;
    }
    const size_t colours = header.biClrUsed != 0 ? header.biClrUsed : 256;
    for (size_t i = 0; i < colours; ++i) {
        memcpy(&drawing->palette[i], bytes + header.biSize + i * sizeof(RGBQUAD), sizeof(RGBQUAD));
        drawing->palette[i] &= 0x00FFFFFF;
    }
    drawing->size = {header.biWidth, header.biHeight};
    drawing->bottomRow = bytes + header.biSize + colours * sizeof(RGBQUAD);
    drawing->stride = (static_cast<size_t>(header.biWidth) + 3) & ~static_cast<size_t>(3);
    return true;
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
UniqueBitmap Scaled(const Drawing& source, SIZE size) {
    const SIZE sourceSize = source.size;
    const DWORD* colour = source.palette;
    BITMAPINFO format = PixelFormat(size);
    void* bits = nullptr;
    UniqueBitmap canvas(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!canvas) {
        return {};
    }
    auto* to = static_cast<DWORD*>(bits);
    // The same for every row: worked out once.
    std::vector<Sample> columns(static_cast<size_t>(size.cx));
    for (LONG x = 0; x < size.cx; ++x) {
        columns[static_cast<size_t>(x)] = SampleAt(x, size.cx, sourceSize.cx);
    }
    for (LONG y = 0; y < size.cy; ++y) {
        const Sample row = SampleAt(y, size.cy, sourceSize.cy);
        const BYTE* upper = source.Row(row.first);
        const BYTE* lower = source.Row(row.second);
        for (LONG x = 0; x < size.cx; ++x) {
            const Sample& column = columns[static_cast<size_t>(x)];
            const DWORD top =
                Blend(colour[upper[column.first]], colour[upper[column.second]], column.weight);
            const DWORD bottom =
                Blend(colour[lower[column.first]], colour[lower[column.second]], column.weight);
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
    Drawing drawing;
    return ReadDrawing(larger ? IDB_BANNER_2X : IDB_BANNER, &drawing) ? Scaled(drawing, size)
                                                                      : UniqueBitmap();
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
