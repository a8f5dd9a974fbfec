#pragma once

#include <windows.h>

#include "toolkit/Graphics.h"

// A 32-bit top-down DIB section with premultiplied alpha, as menus and AlphaBlend take it, of the
// size in pixels.
HBITMAP PremultipliedBitmap(const TImageList::TPixels& pixels, int size);
// An icon of the given size in pixels made from an image, its alpha kept.
HICON IconFromImage(const TImageList::TPixels& pixels, int size);

// A canvas on a device context, as a paint handler gets it.
class TWinCanvas : public TCanvas {
 public:
  explicit TWinCanvas(HDC dc) : Dc(dc) {}
  void DrawImage(const TImageList& images, int index, int x, int y, bool enabled) override;

 private:
  HDC Dc;
};
