#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

void TCanvas::DrawImage(const TImageList&, int, int, int, bool) {}

void TRecordingCanvas::DrawImage(const TImageList& images, int index, int x, int y, bool enabled) {
  Drawings.push_back({&images, index, x, y, enabled});
}

int TImageList::Width() const { return Size * Screen().PictureScale(); }

int TImageList::Add(const TPixels& pixels) {
  Images.push_back(pixels);
  return Count() - 1;
}

const TImageList::TPixels* TImageList::Image(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &Images[index];
}

uint32_t GreyedPixel(uint32_t argb) {
  const uint32_t alpha = argb >> 24;
  if (alpha == 0) return 0;
  const uint32_t red = (argb >> 16) & 0xFF;
  const uint32_t green = (argb >> 8) & 0xFF;
  const uint32_t blue = argb & 0xFF;
  const uint32_t luminance = (77 * red + 150 * green + 29 * blue) >> 8;
  // Halfway to white keeps the picture's shape readable while it reads clearly as unavailable.
  const uint32_t grey = 128 + luminance / 2;
  return (alpha << 24) | (grey << 16) | (grey << 8) | grey;
}

TImageList::TPixels TImageList::GreyedImage(int index) const {
  TPixels greyed{};
  if (const TPixels* pixels = Image(index))
    for (size_t i = 0; i < greyed.size(); ++i) greyed[i] = GreyedPixel((*pixels)[i]);
  return greyed;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  if (Image(index)) canvas.DrawImage(*this, index, x, y, enabled);
}
