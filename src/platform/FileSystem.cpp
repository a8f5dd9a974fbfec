#include "platform/FileSystem.h"

#include <atomic>

namespace {
std::atomic<TFileSystem*> current{nullptr};
}

TFileSystem& FileSystem() {
  TFileSystem* fs = current.load(std::memory_order_acquire);
  return fs ? *fs : PlatformFileSystem();
}

TFileSystemOverride::TFileSystemOverride(TFileSystem& replacement)
    : Previous(current.exchange(&replacement, std::memory_order_acq_rel)) {}

TFileSystemOverride::~TFileSystemOverride() { current.store(Previous, std::memory_order_release); }

int TFileSystem::ComparePaths(const std::string& a, const std::string& b) {
  const int order = OrderKey(a).compare(OrderKey(b));
  return (order > 0) - (order < 0);
}

bool TFileSystem::SameItem(const std::string& a, const std::string& b) {
  return ItemKey(a) == ItemKey(b);
}

bool TFileSystem::OnlyLinksLeadBack(const std::string&) { return false; }
