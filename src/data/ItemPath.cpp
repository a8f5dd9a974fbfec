#include "data/ItemPath.h"

#include <cstring>
#include <new>

TItemPath::TItemPath(std::string_view text) {
  if (text.empty()) return;
  void* bytes = ::operator new(sizeof(TBlock) + text.size());
  FBlock = new (bytes) TBlock{{1}, uint32_t(text.size())};
  std::memcpy(static_cast<char*>(bytes) + sizeof(TBlock), text.data(), text.size());
}

TItemPath::TItemPath(const TItemPath& other) noexcept : FBlock(other.FBlock) {
  if (FBlock) FBlock->Refs.fetch_add(1, std::memory_order_relaxed);
}

TItemPath& TItemPath::operator=(const TItemPath& other) noexcept {
  if (other.FBlock) other.FBlock->Refs.fetch_add(1, std::memory_order_relaxed);
  Release();
  FBlock = other.FBlock;
  return *this;
}

TItemPath& TItemPath::operator=(TItemPath&& other) noexcept {
  if (this == &other) return *this;
  Release();
  FBlock = other.FBlock;
  other.FBlock = nullptr;
  return *this;
}

void TItemPath::Release() noexcept {
  if (!FBlock || FBlock->Refs.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  FBlock->~TBlock();
  ::operator delete(FBlock);
}

std::string operator+(std::string_view a, const TItemPath& b) {
  std::string text;
  text.reserve(a.size() + b.size());
  return text.append(a).append(b.View());
}

std::string operator+(const TItemPath& a, std::string_view b) {
  std::string text;
  text.reserve(a.size() + b.size());
  return text.append(a.View()).append(b);
}
