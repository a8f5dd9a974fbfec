#pragma once

#include "toolkit/Graphics.h"

// The pictures of the menus and of the drop targets, by their index in the image list.
enum TMenuImage : int {
  miGet = 0,  // also the application icon
  miSet = 1,
  miSync = 2,
  miNewWindow = 3,
  miUndo = 4,
  miRedo = 5,
  miProperties = 6,
  miOptions = 7,
  miExit = 8,
  miHelp = 9,
  miAbout = 10,
};

constexpr int MenuImageCount = 11;

// The picture's pixels; transparent where the picture has no colour.
TImageList::TPixels MenuImagePixels(TMenuImage image);

// Appends the 11 pictures in index order.
void LoadMenuImages(TImageList& images);
