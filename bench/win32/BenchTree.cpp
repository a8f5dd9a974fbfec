#include "BenchTree.h"

#include <windows.h>

#include <cstdio>
#include <random>
#include <stdexcept>

#include "platform/win32/WideText.h"

namespace {

void MakeFolder(const std::string& path) {
  if (!CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr))
    throw std::runtime_error("cannot make " + path);
}

void MakeFile(const std::string& path) {
  HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make " + path);
  CloseHandle(file);
}

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(child);
      else
        DeleteFileW(child.c_str());
    } while (FindNextFileW(search, &data));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

TBenchTree::TBenchTree(int folders, int filesPerFolder) {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  char name[64];
  std::snprintf(name, sizeof name, "brevantor-bench-%08x", unsigned(std::random_device{}()));
  FBase = WideToUtf8(temp) + name;
  FRoot = FBase + "\\tree";
  FReference = FBase + "\\reference";
  MakeFolder(FBase);
  MakeFolder(FRoot);
  MakeFile(FReference);
  for (int d = 0; d < folders; ++d) {
    std::snprintf(name, sizeof name, "\\folder%04d", d);
    const std::string folder = FRoot + name;
    MakeFolder(folder);
    for (int f = 0; f < filesPerFolder; ++f) {
      std::snprintf(name, sizeof name, "\\photo_%05d.jpg", f);
      MakeFile(folder + name);
    }
  }
  FItems = folders * filesPerFolder + folders + 1;
}

TBenchTree::~TBenchTree() { RemoveTree(Utf8ToWide(FBase)); }
