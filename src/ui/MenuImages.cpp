#include "ui/MenuImages.h"

#include <cstdint>

namespace {

struct TPaletteEntry {
  char Key;
  uint32_t Argb;
};

// One character a pixel, so that the pictures can be read and edited in the source.
constexpr TPaletteEntry Palette[] = {
    {'.', 0x00000000},  // transparent
    {'k', 0xFF000000},  // black
    {'w', 0xFFFFFFFF},  // white
    {'r', 0xFFE00000},  // red
    {'b', 0xFF0040C8},  // blue
    {'n', 0xFF000080},  // navy
    {'g', 0xFF808080},  // grey
    {'s', 0xFFC0C0C0},  // silver
    {'y', 0xFFFFD000},  // yellow
    {'G', 0xFF00A000},  // green
    {'o', 0xFFB07030},  // light brown
    {'d', 0xFF603810},  // dark brown
};

constexpr int Size = TImageList::Size;

constexpr const char* Pictures[MenuImageCount][Size] = {
    // 0: clock face: white dial, red hand
    {
        "................",
        ".....kkkkkk.....",
        "...kkwwwwwwkk...",
        "..kwwwwkkwwwwk..",
        ".kwwwwwwwwwwrwk.",
        ".kwwwwwkwwwrwwk.",
        "kwwwwwwkwwrwwwwk",
        "kwwwwwwkwrwwwwwk",
        "kkwwwwwkkwwwwwkk",
        "kwwwwwwkkwwwwwwk",
        "kwwwwwwwwwwwwwwk",
        ".kwwwwwwwwwwwwk.",
        ".kwwwwwwwwwwwwk.",
        "..kwwwwkkwwwwk..",
        "...kkwwwwwwkk...",
        ".....kkkkkk.....",
    },
    // 1: single document page
    {
        "..kkkkkkkkk.....",
        "..kwwwwwwwkk....",
        "..kwwwwwwwkwk...",
        "..kwgggggwkkkk..",
        "..kwwwwwwwwwwk..",
        "..kwggggggggwk..",
        "..kwwwwwwwwwwk..",
        "..kwggggggggwk..",
        "..kwwwwwwwwwwk..",
        "..kwggggggggwk..",
        "..kwwwwwwwwwwk..",
        "..kwggggggggwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kkkkkkkkkkkk..",
        "................",
    },
    // 2: document page with motion strokes to its left
    {
        ".....kkkkkkkk...",
        ".....kwwwwwwkk..",
        ".....kwwwwwwkwk.",
        "ggg..kwggggwkkkk",
        ".....kwwwwwwwwwk",
        "..ggg.kwgggggwk.",
        "......kwwwwwwwk.",
        "gggg..kwgggggwk.",
        "......kwwwwwwwk.",
        "..ggg.kwgggggwk.",
        "......kwwwwwwwk.",
        "ggg...kwgggggwk.",
        "......kwwwwwwwk.",
        "......kkkkkkkkk.",
        "................",
        "................",
    },
    // 3: application window with a blue title bar
    {
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kbbbbbbbbbbbbk.",
        ".kbwwbbbbswswsk.",
        ".kbbbbbbbbbbbbk.",
        ".kkkkkkkkkkkkkk.",
        ".kwwwwwwwwwwwwk.",
        ".kwwwwwwwwwwwwk.",
        ".kwwwwwwwwwwwwk.",
        ".kwwwwwwwwwwwwk.",
        ".kwwwwwwwwwwwwk.",
        ".kwwwwwwwwwwwwk.",
        ".kwwwwwwwwwwwwk.",
        ".kwwwwwwwwwwwwk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    },
    // 4: curved arrow turning left
    {
        "................",
        "................",
        "....k...........",
        "...kk...........",
        "..kbkkkkkkk.....",
        ".kbbbbbbbbbkk...",
        "kbbbbbbbbbbbbk..",
        ".kbbbbbbbbbbbbk.",
        "..kbkkkkkkkkbbk.",
        "...kk......kbbk.",
        "....k.......kbk.",
        "............kbk.",
        "...........kbbk.",
        "..........kbbk..",
        "..........kkk...",
        "................",
    },
    // 5: curved arrow turning right
    {
        "................",
        "................",
        "...........k....",
        "...........kk...",
        ".....kkkkkkkbk..",
        "...kkbbbbbbbbbk.",
        "..kbbbbbbbbbbbbk",
        ".kbbbbbbbbbbbbk.",
        ".kbbkkkkkkkkbk..",
        ".kbbk......kk...",
        ".kbk.......k....",
        ".kbk............",
        ".kbbk...........",
        "..kbbk..........",
        "...kkk..........",
        "................",
    },
    // 6: small coloured shapes: square, star, triangle
    {
        "................",
        ".kkkkkk.....y...",
        ".krrrrk.....y...",
        ".krrrrk....yyy..",
        ".krrrrk.yyyyyyyy",
        ".krrrrk..yyyyyy.",
        ".kkkkkk...yyyy..",
        "..........yy.yy.",
        "....k...........",
        "...kGk..........",
        "...kGk..........",
        "..kGGGk.........",
        "..kGGGk.........",
        ".kGGGGGk........",
        ".kkkkkkk........",
        "................",
    },
    // 7: tools: wrench and screwdriver
    {
        "................",
        "..ss.........kk.",
        ".s..s.......kyk.",
        ".s...s.....kyyk.",
        "..s..ss...kyyk..",
        "...ssgss.kyyk...",
        "....sgggkkyk....",
        ".....sgggkk.....",
        "......ggsg......",
        ".....kkgsgs.....",
        "....kgk.sgss....",
        "...kgk...sggs...",
        "..kgk.....sggs..",
        ".kgk.......sggs.",
        ".kk.........ss..",
        "................",
    },
    // 8: open door
    {
        "................",
        "..dddddddddddd..",
        "..dkkkkkkkkkkd..",
        "..dkoookkkkkkd..",
        "..dkooooookkkd..",
        "..dkooooooookd..",
        "..dkooooooookd..",
        "..dkooooyoookd..",
        "..dkooooyoookd..",
        "..dkooooooookd..",
        "..dkooooooookd..",
        "..dkooooooookd..",
        "..dkooooookkkd..",
        "..dkoookkkkkkd..",
        "..dddddddddddd..",
        "................",
    },
    // 9: book with a question mark
    {
        "................",
        "...kkkkkkkkkkk..",
        "..knnnnnnnnnnk..",
        "..knnnnyyynnnk..",
        "..knnnyynyynnk..",
        "..knnnnnnyynnk..",
        "..knnnnnyynnnk..",
        "..knnnnyynnnnk..",
        "..knnnnyynnnnk..",
        "..knnnnnnnnnnk..",
        "..knnnnyynnnnk..",
        "..knnnnnnnnnnk..",
        "..kkkkkkkkkkkkk.",
        "..kwwwwwwwwwwwk.",
        "...kkkkkkkkkkkk.",
        "................",
    },
    // 10: question mark
    {
        "................",
        ".....bbbbbb.....",
        "....bbbbbbbb....",
        "...bbb....bbb...",
        "...bbb....bbb...",
        "..........bbb...",
        ".........bbb....",
        "........bbb.....",
        ".......bbb......",
        ".......bbb......",
        ".......bbb......",
        "................",
        ".......bbb......",
        ".......bbb......",
        ".......bbb......",
        "................",
    },
};

constexpr bool InPalette(char key) {
  for (const TPaletteEntry& entry : Palette)
    if (entry.Key == key) return true;
  return false;
}

constexpr bool WellFormed() {
  for (const auto& picture : Pictures)
    for (const char* row : picture) {
      int length = 0;
      for (; row[length] != 0; ++length)
        if (!InPalette(row[length])) return false;
      if (length != Size) return false;
    }
  return true;
}

static_assert(WellFormed(), "every picture is 16 rows of 16 palette characters");

uint32_t Colour(char key) {
  for (const TPaletteEntry& entry : Palette)
    if (entry.Key == key) return entry.Argb;
  return 0;
}

}  // namespace

TImageList::TPixels MenuImagePixels(TMenuImage image) {
  TImageList::TPixels pixels{};
  for (int y = 0; y < Size; ++y)
    for (int x = 0; x < Size; ++x) pixels[size_t(y * Size + x)] = Colour(Pictures[image][y][x]);
  return pixels;
}

void LoadMenuImages(TImageList& images) {
  for (int index = 0; index < MenuImageCount; ++index)
    images.Add(MenuImagePixels(TMenuImage(index)));
}
