#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "platform/FileSystem.h"

// The platform's own file system, with a hook that runs just before each write opens its item:
// how a test changes a real tree between an operation's reading and its writing.
class THookedFileSystem : public TFileSystem {
 public:
  std::function<void(const std::string& path)> BeforeWrite;

  // Before the first write, the folder `inside` goes to `gone` and the link takes its place.
  void SwapBeforeFirstWrite(const std::string& inside, const std::string& link,
                            const std::string& gone) {
    BeforeWrite = [=, this](const std::string&) {
      std::filesystem::rename(inside, gone);
      std::filesystem::rename(link, inside);
      BeforeWrite = nullptr;
    };
  }

  bool FindEntry(const std::string& path, TFileEntry& entry) override {
    return Real.FindEntry(path, entry);
  }
  bool ListFolder(const std::string& folder, const TEntryVisitor& visit) override {
    return Real.ListFolder(folder, visit);
  }
  bool ListingHasTimes() const override { return Real.ListingHasTimes(); }
  bool FolderId(const std::string& path, TFolderId& id) override { return Real.FolderId(path, id); }
  bool OnlyLinksLeadBack(const std::string& folder) override {
    return Real.OnlyLinksLeadBack(folder);
  }
  uint32_t GetAttributes(const std::string& path) override { return Real.GetAttributes(path); }
  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    return Real.SetAttributes(path, attributes);
  }
  TWriteTimesResult WriteTimes(const std::string& path, TItemKind kind, const FILETIME* creation,
                               const FILETIME* lastAccess, const FILETIME* lastWrite) override {
    if (BeforeWrite) BeforeWrite(path);
    return Real.WriteTimes(path, kind, creation, lastAccess, lastWrite);
  }
  TWriteTimesResult WriteTimesChecked(const std::string& path, TItemKind kind,
                                      const TWriteCheck& check, TSeenItem& seen,
                                      const FILETIME* creation, const FILETIME* lastAccess,
                                      const FILETIME* lastWrite) override {
    if (BeforeWrite) BeforeWrite(path);
    return Real.WriteTimesChecked(path, kind, check, seen, creation, lastAccess, lastWrite);
  }
  bool ReadBackTimes(const std::string& path, TItemKind kind, TFileEntry& entry) override {
    return Real.ReadBackTimes(path, kind, entry);
  }
  bool ConfirmStoredTimes(const std::string& path, TItemKind kind, TFileEntry& entry) override {
    return Real.ConfirmStoredTimes(path, kind, entry);
  }
  bool VolumeOf(const std::string& path, TItemKind kind, TVolumeInfo& volume) override {
    return Real.VolumeOf(path, kind, volume);
  }
  std::string NormalizePath(const std::string& path) override { return Real.NormalizePath(path); }
  std::string ItemKey(const std::string& path) override { return Real.ItemKey(path); }
  std::string OrderKey(const std::string& path) override { return Real.OrderKey(path); }
  int ComparePaths(const std::string& a, const std::string& b) override {
    return Real.ComparePaths(a, b);
  }
  bool SameItem(const std::string& a, const std::string& b) override { return Real.SameItem(a, b); }
  bool SortsByKey() const override { return Real.SortsByKey(); }
  char Separator() const override { return Real.Separator(); }

 private:
  TFileSystem& Real = PlatformFileSystem();
};
