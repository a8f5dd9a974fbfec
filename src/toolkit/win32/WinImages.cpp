#include "toolkit/win32/WinImages.h"

#include <vector>

namespace {

HBITMAP TopDownBitmap(int size, uint32_t** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* memory = nullptr;
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
  *bits = static_cast<uint32_t*>(memory);
  return bitmap;
}

uint32_t Premultiplied(uint32_t argb) {
  const uint32_t alpha = argb >> 24;
  auto channel = [&](int shift) { return (((argb >> shift) & 0xFF) * alpha + 127) / 255; };
  return (alpha << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

// A bitmap of the picture at the size in pixels. Nearest-neighbour scaling keeps the small
// picture's hard edges.
template <typename TPixelOf>
HBITMAP ScaledBitmap(const TImageList::TPixels& pixels, int size, TPixelOf pixelOf) {
  uint32_t* bits = nullptr;
  const HBITMAP bitmap = TopDownBitmap(size, &bits);
  if (!bitmap) return nullptr;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      bits[y * size + x] = pixelOf(
          pixels[(y * TImageList::Size / size) * TImageList::Size + x * TImageList::Size / size]);
  return bitmap;
}

}  // namespace

HBITMAP PremultipliedBitmap(const TImageList::TPixels& pixels, int size) {
  return ScaledBitmap(pixels, size, Premultiplied);
}

HICON IconFromImage(const TImageList::TPixels& pixels, int size) {
  const HBITMAP color = ScaledBitmap(pixels, size, [](uint32_t argb) { return argb; });
  if (!color) return nullptr;
  // With an alpha channel in the colour bitmap the mask is not used, but it must exist. Its rows
  // are padded to 16 bits.
  const std::vector<BYTE> maskBits(size_t((size + 15) / 16 * 2 * size), 0);
  const HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
  ICONINFO info{TRUE, 0, 0, mask, color};
  const HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(color);
  return icon;
}

void TWinCanvas::DrawImage(const TImageList& images, int index, int x, int y, bool enabled) {
  const TImageList::TPixels* pixels = images.Image(index);
  if (!pixels) return;
  const int size = images.Width();
  const HBITMAP bitmap = PremultipliedBitmap(enabled ? *pixels : images.GreyedImage(index), size);
  if (!bitmap) return;
  const HDC memory = CreateCompatibleDC(Dc);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(Dc, x, y, size, size, memory, 0, 0, size, size, blend);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(bitmap);
}
