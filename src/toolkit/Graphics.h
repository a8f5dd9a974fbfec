#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Object.h"

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// A font as the controls use it. Height follows the platform's convention: negative is the
// character height in pixels, positive the cell height.
struct TFont {
  std::string Name;
  int Height = 0;
  friend bool operator==(const TFont&, const TFont&) = default;
};

class TImageList;

// Where images are drawn. This base class stands for a surface that is on no screen: it draws
// nothing. The backend's paint handler passes a canvas on its window; tests pass a recorder.
class TCanvas {
 public:
  virtual ~TCanvas() = default;
  virtual void DrawImage(const TImageList& images, int index, int x, int y, bool enabled);
};

// Keeps a list of what was drawn on it, so that a paint handler's work can be checked.
class TRecordingCanvas : public TCanvas {
 public:
  struct TDrawing {
    const TImageList* Images;
    int Index;
    int X;
    int Y;
    bool Enabled;
    friend bool operator==(const TDrawing&, const TDrawing&) = default;
  };
  void DrawImage(const TImageList& images, int index, int x, int y, bool enabled) override;
  std::vector<TDrawing> Drawings;
};

// Images of 16 by 16 pixels, each pixel 0xAARRGGBB (straight, not premultiplied alpha), rows from
// the top. Alpha 0 is transparent. On the screen each picture pixel takes the screen's picture
// scale in each direction: Width and Height are the drawn size.
class TImageList : public TObject {
 public:
  static constexpr int Size = 16;
  using TPixels = std::array<uint32_t, Size * Size>;

  int Width() const;
  int Height() const { return Width(); }
  int Count() const { return int(Images.size()); }

  // Appends an image and gives its index.
  int Add(const TPixels& pixels);
  // The image's pixels; none for an index out of range.
  const TPixels* Image(int index) const;
  // The disabled look of an image: every pixel turned grey and lightened, its opacity kept.
  TPixels GreyedImage(int index) const;

  // Draws the image in its normal look, or greyed when not enabled. An index out of range draws
  // nothing.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

 private:
  std::vector<TPixels> Images;
};

// The disabled look of one pixel (see TImageList::GreyedImage).
uint32_t GreyedPixel(uint32_t argb);
