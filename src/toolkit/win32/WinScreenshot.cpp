#include <cstdio>
#include <vector>

#include "platform/win32/WideText.h"
#include "toolkit/win32/WinWindow.h"

namespace {

bool WriteBitmapFile(const std::string& path, int width, int height,
                     const std::vector<BYTE>& rows) {
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = DWORD(rows.size());
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  FILE* out = _wfopen(Utf8ToWide(path).c_str(), L"wb");
  if (!out) return false;
  const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                       std::fwrite(&info, sizeof info, 1, out) == 1 &&
                       std::fwrite(rows.data(), 1, rows.size(), out) == rows.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

// Copies the window as it stands on the screen, frame and menu included.
bool SaveWindowScreenshot(const TForm& form, const std::string& path) {
  return SaveWindowScreenshot(WindowHandle(form), path);
}

bool SaveWindowScreenshot(HWND window, const std::string& path) {
  if (!window || !IsWindowVisible(window)) return false;
  UpdateWindow(window);
  RECT frame;
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  if (width <= 0 || height <= 0) return false;
  const HDC source = GetWindowDC(window);
  const HDC memory = CreateCompatibleDC(source);
  const HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int stride = (width * 3 + 3) / 4 * 4;
  std::vector<BYTE> rows(size_t(stride) * size_t(height));
  const bool copied =
      GetDIBits(memory, bitmap, 0, UINT(height), rows.data(), &info, DIB_RGB_COLORS) == height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return copied && WriteBitmapFile(path, width, height, rows);
}
