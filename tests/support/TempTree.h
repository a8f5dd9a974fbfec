#pragma once

#include <cstdint>
#include <string>

// An item's three times as file-time values (100 ns units since 1601).
struct TItemTimes {
  uint64_t Creation = 0;
  uint64_t LastAccess = 0;
  uint64_t LastWrite = 0;
  bool operator==(const TItemTimes&) const = default;
};

// A fresh folder of its own under the system's temporary folder, removed with everything in it
// (read-only items and links included, never what a link leads to) when the tree goes. Relative
// names and full paths are written with the platform's separator. The helpers work on the real
// file system directly, not through the backend under test, and throw std::runtime_error when
// the platform refuses (except AddSymlink, which some systems refuse to plain users).
class TTempTree {
 public:
  TTempTree();
  // The folder is made in parent (a full path, without a separator at its end) instead.
  explicit TTempTree(const std::string& parent);
  ~TTempTree();
  TTempTree(const TTempTree&) = delete;
  TTempTree& operator=(const TTempTree&) = delete;

  static char Separator();
  const std::string& Root() const { return RootPath; }
  // The full path of a name relative to the root.
  std::string Path(const std::string& relative) const;
  // The path in its short (8.3) names where the file system gives them; else the path itself.
  static std::string ShortPath(const std::string& path);

  // Each creates the item at the relative name (its folder must exist) and gives its full path.
  std::string AddFile(const std::string& relative, const std::string& contents = "");
  std::string AddFolder(const std::string& relative);
  // A symbolic link to the full path target; "" when the system does not allow one here.
  std::string AddSymlink(const std::string& relative, const std::string& target, bool toFolder);

  // The times of the item itself, a link not followed. Creation is the birth time where the file
  // system keeps one, else 0.
  static TItemTimes Times(const std::string& path);
  // Sets the item's own times; a zero time is left as it is, and so is the creation time where
  // the platform cannot set one (POSIX).
  static void SetTimes(const std::string& path, const TItemTimes& times);
  static void SetReadOnly(const std::string& path, bool readOnly);
  // Whether the file system keeps a creation time of its own: some derive it from the other
  // times, and then writing those changes it.
  bool KeepsCreationTime();

 private:
  std::string RootPath;
};
