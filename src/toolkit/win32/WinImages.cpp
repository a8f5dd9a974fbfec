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

}  // namespace

HBITMAP PremultipliedBitmap(const TImageList::TPixels& pixels) {
  uint32_t* bits = nullptr;
  const HBITMAP bitmap = TopDownBitmap(TImageList::Size, &bits);
  if (!bitmap) return nullptr;
  for (size_t i = 0; i < pixels.size(); ++i) bits[i] = Premultiplied(pixels[i]);
  return bitmap;
}

HICON IconFromImage(const TImageList::TPixels& pixels, int size) {
  uint32_t* bits = nullptr;
  const HBITMAP color = TopDownBitmap(size, &bits);
  if (!color) return nullptr;
  // Nearest-neighbour scaling keeps the small picture's hard edges.
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      bits[y * size + x] =
          pixels[(y * TImageList::Size / size) * TImageList::Size + x * TImageList::Size / size];
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
  const HBITMAP bitmap = PremultipliedBitmap(enabled ? *pixels : images.GreyedImage(index));
  if (!bitmap) return;
  const HDC memory = CreateCompatibleDC(Dc);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(Dc, x, y, TImageList::Size, TImageList::Size, memory, 0, 0, TImageList::Size,
                TImageList::Size, blend);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(bitmap);
}
