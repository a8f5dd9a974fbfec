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

TFileSystemOverride::~TFileSystemOverride() {
  current.store(Previous, std::memory_order_release);
}
