#include <windows.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

// The program and its tests carry one manifest; with it every 8-bit path is UTF-8, so names outside
// the legacy code page reach the ANSI calls intact instead of as '?' or a look-alike letter.
TEST(Manifest, MakesUtf8TheAnsiCodePage) { EXPECT_EQ(GetACP(), 65001u); }

TEST(Manifest, UnicodeFileNameSurvivesTheAnsiCalls) {
  char temp[MAX_PATH];
  ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string path = std::string(temp) + "brevantor-\xCE\xB1\xE2\x82\xAC\xF0\x9F\x93\x81.txt";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  EXPECT_STREQ(found.cFileName, path.substr(std::string(temp).size()).c_str());
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide, MAX_PATH);
  EXPECT_NE(GetFileAttributesW(wide), INVALID_FILE_ATTRIBUTES) << "the name was not read as UTF-8";
  DeleteFileA(path.c_str());
}

TEST(Manifest, IsEmbeddedInTheProgram) {
  const char* buildDir = std::getenv("BREVANTOR_BUILD_DIR");
  if (!buildDir) GTEST_SKIP() << "BREVANTOR_BUILD_DIR is not set (run through ctest)";
  const std::string exe = std::string(buildDir) + "/brevantor.exe";
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << exe;
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(resource, nullptr);
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
  const std::string manifest(data, SizeofResource(module, resource));
  FreeLibrary(module);
  EXPECT_NE(manifest.find("<activeCodePage"), std::string::npos);
  EXPECT_NE(manifest.find(">UTF-8</activeCodePage>"), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
}
