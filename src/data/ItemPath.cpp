#include "data/ItemPath.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// A header with its text right after it, in one block; the header's count starts at one.
template <typename THeader, typename... TFields>
THeader* NewBlock(std::string_view text, TFields... fields) {
  void* bytes = ::operator new(sizeof(THeader) + text.size());
  std::memcpy(static_cast<char*>(bytes) + sizeof(THeader), text.data(), text.size());
  return new (bytes) THeader{1u, fields...};
}

template <typename THeader>
std::string_view TextAfter(const THeader* header, size_t size) {
  return {reinterpret_cast<const char*>(header + 1), size};
}

// Compares the text of a with that of b, each given in two parts, without joining them.
std::strong_ordering CompareParts(TItemPath::TParts a, TItemPath::TParts b) {
  std::string_view x = a.first;
  std::string_view y = b.first;
  bool xOnName = false;
  bool yOnName = false;
  for (;;) {
    if (x.empty() && !xOnName) x = a.second, xOnName = true;
    if (y.empty() && !yOnName) y = b.second, yOnName = true;
    if (x.empty() || y.empty()) {
      if (x.empty() == y.empty()) return std::strong_ordering::equal;
      return x.empty() ? std::strong_ordering::less : std::strong_ordering::greater;
    }
    const size_t common = std::min(x.size(), y.size());
    const int order = std::memcmp(x.data(), y.data(), common);
    if (order != 0) return order < 0 ? std::strong_ordering::less : std::strong_ordering::greater;
    x.remove_prefix(common);
    y.remove_prefix(common);
  }
}

}  // namespace

TPathFolder::TPathFolder(std::string_view text) {
  if (!text.empty()) FBlock = NewBlock<TBlock>(text, uint32_t(text.size()));
}

TPathFolder::TPathFolder(const TPathFolder& other) noexcept : FBlock(other.FBlock) { Hold(FBlock); }

TPathFolder::~TPathFolder() { Release(FBlock); }

std::string_view TPathFolder::View() const {
  return FBlock ? TextAfter(FBlock, FBlock->Size) : std::string_view();
}

void TPathFolder::Hold(TBlock* block) noexcept {
  if (block) block->Refs.fetch_add(1, std::memory_order_relaxed);
}

void TPathFolder::Release(TBlock* block) noexcept {
  if (!block || block->Refs.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  block->~TBlock();
  ::operator delete(block);
}

TItemPath::TItemPath(const TPathFolder& folder, std::string_view name) {
  if (name.empty() && !folder.FBlock) return;
  TPathFolder::Hold(folder.FBlock);
  FNode = NewBlock<TNode>(name, uint32_t(name.size()), folder.FBlock);
}

TItemPath::TItemPath(const TItemPath& other) noexcept : FNode(other.FNode) {
  if (FNode) FNode->Refs.fetch_add(1, std::memory_order_relaxed);
}

void TItemPath::Release() noexcept {
  if (!FNode || FNode->Refs.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  TPathFolder::Release(FNode->Folder);
  FNode->~TNode();
  ::operator delete(FNode);
}

TItemPath::TParts TItemPath::Parts() const {
  if (!FNode) return {};
  const std::string_view folder =
      FNode->Folder ? TextAfter(FNode->Folder, FNode->Folder->Size) : std::string_view();
  return {folder, TextAfter(FNode, FNode->NameSize)};
}

std::string TItemPath::Text() const {
  std::string text;
  TextInto(text);
  return text;
}

void TItemPath::TextInto(std::string& text) const {
  const auto [folder, name] = Parts();
  text.clear();
  text.reserve(folder.size() + name.size());
  text.append(folder).append(name);
}

size_t TItemPath::size() const {
  const auto [folder, name] = Parts();
  return folder.size() + name.size();
}

bool operator==(const TItemPath& a, const TItemPath& b) {
  return a.FNode == b.FNode || (a.size() == b.size() && CompareParts(a.Parts(), b.Parts()) == 0);
}

bool operator==(const TItemPath& a, std::string_view b) {
  return a.size() == b.size() && CompareParts(a.Parts(), {b, {}}) == 0;
}

std::strong_ordering operator<=>(const TItemPath& a, const TItemPath& b) {
  return CompareParts(a.Parts(), b.Parts());
}

std::string operator+(std::string_view a, const TItemPath& b) {
  const auto [folder, name] = b.Parts();
  std::string text;
  text.reserve(a.size() + folder.size() + name.size());
  return text.append(a).append(folder).append(name);
}

std::string operator+(const TItemPath& a, std::string_view b) {
  const auto [folder, name] = a.Parts();
  std::string text;
  text.reserve(folder.size() + name.size() + b.size());
  return text.append(folder).append(name).append(b);
}

std::ostream& operator<<(std::ostream& out, const TItemPath& path) {
  const auto [folder, name] = path.Parts();
  return out << folder << name;
}

TItemPath TPathMaker::Make(std::string_view path) {
  const size_t cut = path.find_last_of("\\/") + 1;  // 0 without a separator: all name
  const std::string_view folder = path.substr(0, cut);
  if (FLast.View() != folder) FLast = TPathFolder(folder);
  return TItemPath(FLast, path.substr(cut));
}
