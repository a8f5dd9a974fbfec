#pragma once

#include <atomic>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

// An item's path, never changed once made: copies share one block of text, so that the lists
// holding the same items (the Get data, a write and its backup, the history) hold each path once.
// One pointer wide; the empty path takes no block. Copies may cross threads.
class TItemPath {
 public:
  TItemPath() = default;
  explicit TItemPath(std::string_view text);
  TItemPath(const TItemPath& other) noexcept;
  TItemPath(TItemPath&& other) noexcept : FBlock(other.FBlock) { other.FBlock = nullptr; }
  TItemPath& operator=(const TItemPath& other) noexcept;
  TItemPath& operator=(TItemPath&& other) noexcept;
  // A new block for the new text; the copies of the old path keep theirs.
  TItemPath& operator=(std::string_view text) { return *this = TItemPath(text); }
  ~TItemPath() { Release(); }

  std::string_view View() const {
    if (!FBlock) return {};
    return {reinterpret_cast<const char*>(FBlock + 1), FBlock->Size};
  }
  operator std::string_view() const { return View(); }
  // For the calls that take a std::string: a copy of the text.
  operator std::string() const { return std::string(View()); }
  size_t size() const { return View().size(); }
  bool empty() const { return FBlock == nullptr; }
  // Whether both refer to one block, as copies of one path do.
  bool SharesWith(const TItemPath& other) const { return FBlock == other.FBlock; }

  friend bool operator==(const TItemPath& a, const TItemPath& b) {
    return a.FBlock == b.FBlock || a.View() == b.View();
  }
  friend bool operator==(const TItemPath& a, std::string_view b) { return a.View() == b; }
  friend std::strong_ordering operator<=>(const TItemPath& a, const TItemPath& b) {
    return a.View() <=> b.View();
  }
  friend std::string operator+(std::string_view a, const TItemPath& b);
  friend std::string operator+(const TItemPath& a, std::string_view b);
  friend std::ostream& operator<<(std::ostream& out, const TItemPath& path) {
    return out << path.View();
  }

 private:
  // The count of the paths that refer to the block, its length and, right after it, the text.
  struct TBlock {
    std::atomic<uint32_t> Refs;
    uint32_t Size;
  };
  void Release() noexcept;

  TBlock* FBlock = nullptr;
};
