#include "toolkit/bitmaps.h"

#include <wincodec.h>

#include "toolkit/text.h"

namespace toolkit {

namespace {
// A top-down 32-bit bitmap whose pixels the program can write.
GdiObject<HBITMAP> createDibSection(SIZE size, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return GdiObject<HBITMAP>(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

// The first frame of an encoded picture, read by the system's imaging codecs.
GdiObject<HBITMAP> decodePicture(const void* bytes, DWORD size, SIZE* decodedSize) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> pixels;
    UINT width = 0, height = 0;
    // The stream only reads the bytes it is given.
    BYTE* encoded = static_cast<BYTE*>(const_cast<void*>(bytes));
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.putVoid())) ||
        FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(encoded, size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) ||
        FAILED(factory->CreateFormatConverter(pixels.put())) ||
        FAILED(pixels->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                  nullptr, 0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(pixels->GetSize(&width, &height)) || width == 0 || height == 0)
        return {};
    *decodedSize = {static_cast<LONG>(width), static_cast<LONG>(height)};
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap = createDibSection(*decodedSize, &bits);
    if (!bitmap || FAILED(pixels->CopyPixels(nullptr, width * 4, width * 4 * height,
                                             static_cast<BYTE*>(bits))))
        return {};
    return bitmap;
}

// HALFTONE gives each new pixel the average colour of the pixels it covers.
GdiObject<HBITMAP> resizedSmoothly(HBITMAP source, SIZE from, SIZE to) {
    void* bits = nullptr;
    GdiObject<HBITMAP> target = createDibSection(to, &bits);
    MemoryDc sourceDc(CreateCompatibleDC(nullptr)), targetDc(CreateCompatibleDC(nullptr));
    if (!target || !sourceDc || !targetDc) return {};
    SelectedObject sourceSelected(sourceDc.get(), source);
    SelectedObject targetSelected(targetDc.get(), target.get());
    SetStretchBltMode(targetDc.get(), HALFTONE);
    SetBrushOrgEx(targetDc.get(), 0, 0, nullptr);  // HALFTONE wants it set after the mode
    StretchBlt(targetDc.get(), 0, 0, to.cx, to.cy, sourceDc.get(), 0, 0, from.cx, from.cy, SRCCOPY);
    return target;
}
}  // namespace

GdiObject<HBITMAP> loadPicture(int resourceId, SIZE size) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = findResource(MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    SIZE stored{};
    GdiObject<HBITMAP> picture = decodePicture(bytes, SizeofResource(module, found), &stored);
    if (!picture || (stored.cx == size.cx && stored.cy == size.cy)) return picture;
    return resizedSmoothly(picture.get(), stored, size);
}

void drawBitmap(HDC dc, HBITMAP bitmap, const RECT& into) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return;
    MemoryDc memory(CreateCompatibleDC(dc));
    SelectedObject selected(memory.get(), bitmap);
    int width = into.right - into.left, height = into.bottom - into.top;
    if (width == bm.bmWidth && height == bm.bmHeight) {
        BitBlt(dc, into.left, into.top, width, height, memory.get(), 0, 0, SRCCOPY);
        return;
    }
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, into.left, into.top, width, height, memory.get(), 0, 0, bm.bmWidth, bm.bmHeight,
               SRCCOPY);
}

void drawBitmap(HDC dc, HBITMAP bitmap) {
    BITMAP bm{};
    if (bitmap && GetObjectW(bitmap, sizeof(bm), &bm))
        drawBitmap(dc, bitmap, RECT{0, 0, bm.bmWidth, bm.bmHeight});
}
}  // namespace toolkit
