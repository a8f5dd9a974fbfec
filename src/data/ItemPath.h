#pragma once

#include <atomic>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A folder's text, held once for the paths made below it.
class TPathFolder {
 public:
  TPathFolder() = default;
  explicit TPathFolder(std::string_view text);
  TPathFolder(const TPathFolder& other) noexcept;
  TPathFolder(TPathFolder&& other) noexcept : FBlock(other.FBlock) { other.FBlock = nullptr; }
  TPathFolder& operator=(TPathFolder other) noexcept {
    std::swap(FBlock, other.FBlock);
    return *this;
  }
  ~TPathFolder();

  std::string_view View() const;

 private:
  friend class TItemPath;
  // The count of the holders of the block, its length and, right after it, the text.
  struct TBlock {
    std::atomic<uint32_t> Refs;
    uint32_t Size;
  };
  static void Hold(TBlock* block) noexcept;
  static void Release(TBlock* block) noexcept;

  TBlock* FBlock = nullptr;
};

// An item's path, never changed once made: copies share one block, so that the lists holding the
// same items (a write and its backup, the history) hold each path once. A path made in a folder
// shares that folder's text with the other paths made in it, and its block holds only its name:
// a million paths in ten thousand folders hold the folders' text ten thousand times, not a
// million. One pointer wide; the empty path takes no block. Copies may cross threads.
class TItemPath {
 public:
  // A folder's text, up to and with its last separator, and the name after it.
  using TParts = std::pair<std::string_view, std::string_view>;

  TItemPath() = default;
  // The whole text in the path's own block.
  explicit TItemPath(std::string_view text) : TItemPath(TPathFolder(), text) {}
  TItemPath(const TPathFolder& folder, std::string_view name);
  TItemPath(const TItemPath& other) noexcept;
  TItemPath(TItemPath&& other) noexcept : FNode(other.FNode) { other.FNode = nullptr; }
  TItemPath& operator=(TItemPath other) noexcept {
    std::swap(FNode, other.FNode);
    return *this;
  }
  // A new block for the new text; the copies of the old path keep theirs.
  TItemPath& operator=(std::string_view text) { return *this = TItemPath(text); }
  ~TItemPath() { Release(); }

  // Valid while this path lives.
  TParts Parts() const;
  std::string Text() const;
  // Into a string of the caller's, for loops that would otherwise make a string each time.
  void TextInto(std::string& text) const;
  operator std::string() const { return Text(); }
  size_t size() const;
  bool empty() const { return FNode == nullptr; }
  // Whether both refer to one block, as copies of one path do.
  bool SharesWith(const TItemPath& other) const { return FNode == other.FNode; }

  friend bool operator==(const TItemPath& a, const TItemPath& b);
  friend bool operator==(const TItemPath& a, std::string_view b);
  friend std::strong_ordering operator<=>(const TItemPath& a, const TItemPath& b);
  friend std::string operator+(std::string_view a, const TItemPath& b);
  friend std::string operator+(const TItemPath& a, std::string_view b);
  friend std::ostream& operator<<(std::ostream& out, const TItemPath& path);

 private:
  // The count of the paths that refer to the node, the folder's block, the name's length and,
  // right after it, the name.
  struct TNode {
    std::atomic<uint32_t> Refs;
    uint32_t NameSize;
    TPathFolder::TBlock* Folder;
  };
  void Release() noexcept;

  TNode* FNode = nullptr;
};

using TItemPaths = std::vector<TItemPath>;

// Makes paths that share their folder's text with the path made before, where it is the same:
// lists come in order, so the items of one folder mostly come one after the other.
class TPathMaker {
 public:
  // Split at the last separator, whichever the platform's: the split only chooses what is shared.
  TItemPath Make(std::string_view path);

 private:
  TPathFolder FLast;
};
