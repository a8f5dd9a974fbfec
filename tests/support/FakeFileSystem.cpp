#include "support/FakeFileSystem.h"

#include <algorithm>
#include <utility>

namespace {

// Enough for any chain of links a test builds; more means the links go round in a circle.
constexpr int maxLinkHops = 40;

unsigned char Folded(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return (byte >= 'A' && byte <= 'Z') ? byte - 'A' + 'a' : byte;
}

int CompareFolded(const std::string& a, const std::string& b) {
  size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (Folded(a[i]) != Folded(b[i])) return Folded(a[i]) < Folded(b[i]) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Windows keeps the directory and link bits whatever it is told, and "normal" only alone.
uint32_t AttributesAfterSet(uint32_t old, uint32_t requested) {
  constexpr uint32_t fixed = faDirectory | faReparsePoint;
  uint32_t result = (old & fixed) | (requested & ~(fixed | faNormal));
  return result ? result : faNormal;
}

}  // namespace

size_t TFakeFileSystem::TFoldedHash::operator()(const std::string& path) const {
  uint64_t hash = 14695981039346656037ull;
  for (char c : path) {
    hash = (hash ^ (CaseSensitive ? static_cast<unsigned char>(c) : Folded(c))) * 1099511628211ull;
  }
  return size_t(hash);
}

bool TFakeFileSystem::TFoldedEqual::operator()(const std::string& a, const std::string& b) const {
  return CaseSensitive ? a == b : a.size() == b.size() && CompareFolded(a, b) == 0;
}

TFakeFileSystem::TFakeFileSystem(char separator, bool caseSensitive)
    : PathSeparator(separator),
      Nodes(0, TFoldedHash{caseSensitive}, TFoldedEqual{caseSensitive}),
      LinkTargets(0, TFoldedHash{caseSensitive}, TFoldedEqual{caseSensitive}) {}

void TFakeFileSystem::AddFolder(const std::string& path, uint32_t attributes) {
  std::lock_guard lock(Mutex);
  TFileEntry entry;
  entry.Attributes = attributes | faDirectory;
  Add(path, entry);
}

void TFakeFileSystem::AddFile(const std::string& path, uint32_t attributes, uint64_t creation,
                              uint64_t lastAccess, uint64_t lastWrite) {
  std::lock_guard lock(Mutex);
  TFileEntry entry;
  entry.Attributes = attributes;
  entry.CreationTime = MakeFileTime(creation);
  entry.LastAccessTime = MakeFileTime(lastAccess);
  entry.LastWriteTime = MakeFileTime(lastWrite);
  Add(path, entry);
}

void TFakeFileSystem::AddFolderLink(const std::string& path, const std::string& target,
                                    bool marked) {
  std::lock_guard lock(Mutex);
  TFileEntry entry;
  entry.Attributes = marked ? faDirectory | faReparsePoint : faDirectory;
  Add(path, entry);
  LinkTargets[path] = target;
}

bool TFakeFileSystem::SetTimes(const std::string& path, uint64_t creation, uint64_t lastAccess,
                               uint64_t lastWrite) {
  std::lock_guard lock(Mutex);
  TNode* node = Find(path);
  if (!node) return false;
  node->Entry.CreationTime = MakeFileTime(creation);
  node->Entry.LastAccessTime = MakeFileTime(lastAccess);
  node->Entry.LastWriteTime = MakeFileTime(lastWrite);
  return true;
}

void TFakeFileSystem::MapNormalized(const std::string& from, const std::string& to) {
  std::lock_guard lock(Mutex);
  Normalized[from] = to;
}

void TFakeFileSystem::Fail(TPrimitive primitive, const std::string& path) {
  std::lock_guard lock(Mutex);
  Failures[size_t(primitive)].insert(path);
}

void TFakeFileSystem::ClearFailures() {
  std::lock_guard lock(Mutex);
  for (TPathSet& failures : Failures) failures.clear();
}

void TFakeFileSystem::SetCanWriteCreationTime(bool can) {
  std::lock_guard lock(Mutex);
  CanWriteCreationTime = can;
}

void TFakeFileSystem::SetStoreRule(TStoreRule rule) {
  std::lock_guard lock(Mutex);
  StoreRule = std::move(rule);
}

void TFakeFileSystem::SetVolume(const TVolumeInfo& volume) {
  std::lock_guard lock(Mutex);
  Volume = volume;
}

void TFakeFileSystem::SetListingHasTimes(bool has) {
  std::lock_guard lock(Mutex);
  ListingTimes = has;
}

bool TFakeFileSystem::ListingHasTimes() const {
  std::lock_guard lock(Mutex);
  return ListingTimes;
}

void TFakeFileSystem::SetOnlyLinksLeadBack(bool only) {
  std::lock_guard lock(Mutex);
  OnlyLinks = only;
}

void TFakeFileSystem::SetFolderIndexesZero(bool zero) {
  std::lock_guard lock(Mutex);
  ZeroIndexes = zero;
}

bool TFakeFileSystem::OnlyLinksLeadBack(const std::string& folder) {
  Notify(TPrimitive::OnlyLinksLeadBack, folder);
  std::lock_guard lock(Mutex);
  return OnlyLinks;
}

bool TFakeFileSystem::Exists(const std::string& path) const {
  std::lock_guard lock(Mutex);
  return Find(path) != nullptr;
}

TFileEntry TFakeFileSystem::Entry(const std::string& path) const {
  std::lock_guard lock(Mutex);
  const TNode* node = Find(path);
  if (node) return node->Entry;
  TFileEntry missing;
  missing.Attributes = faInvalid;
  return missing;
}

bool TFakeFileSystem::FindEntry(const std::string& path, TFileEntry& entry) {
  Notify(TPrimitive::FindEntry, path);
  std::lock_guard lock(Mutex);
  if (Fails(TPrimitive::FindEntry, path)) return false;
  if (WindowsStyle() &&
      (path.find_first_of("*?") != std::string::npos || path.ends_with(PathSeparator))) {
    return false;
  }
  const TNode* node = Find(path);
  if (!node) return false;
  entry = node->Entry;
  return true;
}

// The entries are copied out first: the visitor may list a subfolder, or wait for the test's
// thread, and neither may find the lock held.
bool TFakeFileSystem::ListFolder(const std::string& folder, const TEntryVisitor& visit) {
  Notify(TPrimitive::ListFolder, folder);
  std::vector<std::pair<std::string, TListedEntry>> entries;
  {
    std::lock_guard lock(Mutex);
    if (Fails(TPrimitive::ListFolder, folder)) return false;
    const TNode* node = Followed(folder);
    if (!node || !(node->Entry.Attributes & faDirectory)) return false;
    entries.reserve(node->Children.size() + 2);
    TListedEntry dot;
    dot.Entry.Attributes = faDirectory;
    entries.emplace_back(".", dot);
    entries.emplace_back("..", dot);
    for (const TNode* child : node->Children) {
      TListedEntry listed;
      listed.Entry = child->Entry;
      // As on Windows, a listing tells each entry's file ID, not its volume.
      listed.Entry.Id = {0, child->Id, true};
      if (!ListingTimes) listed.Entry = TFileEntry{child->Entry.Attributes, {}, {}, {}, {}};
      listed.HasTimes = ListingTimes && !Fails(TPrimitive::FindEntry, *child->Path);
      entries.emplace_back(NameOf(*child), listed);
    }
  }
  for (auto& [name, listed] : entries) {
    listed.Name = name.c_str();
    if (!visit(listed)) break;
  }
  return true;
}

bool TFakeFileSystem::FolderId(const std::string& path, TFolderId& id) {
  Notify(TPrimitive::FolderId, path);
  std::lock_guard lock(Mutex);
  if (Fails(TPrimitive::FolderId, path)) return false;
  const TNode* node = Followed(path);
  if (!node) return false;
  id.Volume = 1;
  id.Index = ZeroIndexes ? 0 : reinterpret_cast<uintptr_t>(node);
  return true;
}

uint32_t TFakeFileSystem::GetAttributes(const std::string& path) {
  Notify(TPrimitive::GetAttributes, path);
  std::lock_guard lock(Mutex);
  if (Fails(TPrimitive::GetAttributes, path)) return faInvalid;
  const TNode* node = Find(path);
  return node ? node->Entry.Attributes : faInvalid;
}

bool TFakeFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  Notify(TPrimitive::SetAttributes, path);
  std::lock_guard lock(Mutex);
  if (Fails(TPrimitive::SetAttributes, path)) return false;
  TNode* node = Find(path);
  if (!node) return false;
  node->Entry.Attributes = AttributesAfterSet(node->Entry.Attributes, attributes);
  return true;
}

bool TFakeFileSystem::Replace(const std::string& path) {
  std::lock_guard lock(Mutex);
  TNode* node = Find(path);
  if (!node) return false;
  node->Id = ++LastId;
  return true;
}

TWriteTimesResult TFakeFileSystem::WriteTimes(const std::string& path, TItemKind kind,
                                              const FILETIME* creation, const FILETIME* lastAccess,
                                              const FILETIME* lastWrite) {
  TSeenItem seen;
  return WriteTimesChecked(path, kind, nullptr, seen, creation, lastAccess, lastWrite);
}

TWriteTimesResult TFakeFileSystem::WriteTimesChecked(const std::string& path, TItemKind kind,
                                                     const TWriteCheck& check, TSeenItem& seen,
                                                     const FILETIME* creation,
                                                     const FILETIME* lastAccess,
                                                     const FILETIME* lastWrite) {
  seen = {};
  Notify(TPrimitive::WriteTimesOpen, path);
  {
    std::lock_guard lock(Mutex);
    if (!OpensForTimes(path, kind)) return TWriteTimesResult::NoWriteAccess;
  }
  Notify(TPrimitive::WriteTimesSet, path);
  {
    std::lock_guard lock(Mutex);
    const TNode* node = Find(path);
    if (!node) return TWriteTimesResult::NoWriteAccess;
    seen = {node->Entry, true};
    seen.Entry.Id = {0, node->Id, true};
  }
  // The check may ask the file system itself, as the engine's asks a folder's volume.
  if (check && !check(seen)) return TWriteTimesResult::Declined;
  std::lock_guard lock(Mutex);
  TNode* node = Find(path);
  if (!node) return TWriteTimesResult::NoWriteAccess;
  if (Fails(TPrimitive::WriteTimesSet, path) || (creation && !CanWriteCreationTime)) {
    return TWriteTimesResult::SetFailed;
  }
  const auto store = [&](TTimeKind kind, const FILETIME* asked, FILETIME& held) {
    if (!asked) return;
    held = StoreRule ? MakeFileTime(StoreRule(kind, FileTimeValue(*asked), FileTimeValue(held)))
                     : *asked;
  };
  store(TTimeKind::Creation, creation, node->Entry.CreationTime);
  store(TTimeKind::LastAccess, lastAccess, node->Entry.LastAccessTime);
  store(TTimeKind::LastWrite, lastWrite, node->Entry.LastWriteTime);
  return TWriteTimesResult::Written;
}

bool TFakeFileSystem::ReadBackTimes(const std::string& path, TItemKind, TFileEntry& entry) {
  Notify(TPrimitive::ReadBack, path);
  std::lock_guard lock(Mutex);
  if (Fails(TPrimitive::ReadBack, path)) return false;
  const TNode* node = Find(path);
  if (!node) return false;
  entry = node->Entry;
  return true;
}

bool TFakeFileSystem::VolumeOf(const std::string& path, TItemKind, TVolumeInfo& volume) {
  Notify(TPrimitive::VolumeOf, path);
  std::lock_guard lock(Mutex);
  if (Fails(TPrimitive::VolumeOf, path) || !Find(path)) return false;
  volume = Volume;
  return true;
}

std::string TFakeFileSystem::NormalizePath(const std::string& path) {
  Notify(TPrimitive::NormalizePath, path);
  std::lock_guard lock(Mutex);
  if (Fails(TPrimitive::NormalizePath, path)) return path;
  auto mapped = Normalized.find(path);
  return mapped == Normalized.end() ? path : mapped->second;
}

std::string TFakeFileSystem::ItemKey(const std::string& path) {
  std::string key = path;
  for (char& c : key) c = char(Folded(c));
  return key;
}

// Folding ASCII case is the whole order, so the item key has no tie left to break.
std::string TFakeFileSystem::OrderKey(const std::string& path) { return ItemKey(path); }

// Adding below a missing folder creates it first, up to the root ("C:\\" or "/").
TFakeFileSystem::TNode& TFakeFileSystem::Add(const std::string& path, const TFileEntry& entry) {
  auto [added, isNew] = Nodes.try_emplace(path);
  TNode& node = added->second;
  node.Entry = entry;
  if (!isNew) return node;
  node.Path = &added->first;
  node.Id = ++LastId;
  std::string parentPath = ParentOf(path);
  if (parentPath.empty()) return node;
  TNode* parent = Find(parentPath);
  if (!parent) {
    TFileEntry folder;
    folder.Attributes = faDirectory;
    parent = &Add(parentPath, folder);
  }
  parent->Children.push_back(&node);
  return node;
}

// "" for a root or a bare name. The first name of a path is its volume ("C:", or "" before a
// leading '/'), whose root keeps the separator.
std::string TFakeFileSystem::ParentOf(const std::string& path) const {
  size_t last = path.find_last_of(PathSeparator);
  if (last == std::string::npos || last + 1 == path.size()) return std::string();
  std::string parent = path.substr(0, last);
  if (parent.find(PathSeparator) == std::string::npos) parent += PathSeparator;
  return parent;
}

const char* TFakeFileSystem::NameOf(const TNode& node) const {
  size_t last = node.Path->find_last_of(PathSeparator);
  return node.Path->c_str() + (last == std::string::npos ? 0 : last + 1);
}

// The path with every linked folder on its way replaced by the link's target; the last name is
// kept, so that a link is itself.
std::string TFakeFileSystem::Resolved(const std::string& path) const {
  std::string resolved = path;
  for (int hop = 0; hop < maxLinkHops; ++hop) {
    bool replaced = false;
    for (size_t end = resolved.find(PathSeparator); end != std::string::npos && !replaced;
         end = resolved.find(PathSeparator, end + 1)) {
      auto link = LinkTargets.find(resolved.substr(0, end));
      if (link != LinkTargets.end()) {
        resolved = link->second + resolved.substr(end);
        replaced = true;
      }
    }
    if (!replaced) break;
  }
  return resolved;
}

const TFakeFileSystem::TNode* TFakeFileSystem::Find(const std::string& path) const {
  auto found = LinkTargets.empty() ? Nodes.find(path) : Nodes.find(Resolved(path));
  return found == Nodes.end() ? nullptr : &found->second;
}

TFakeFileSystem::TNode* TFakeFileSystem::Find(const std::string& path) {
  return const_cast<TNode*>(std::as_const(*this).Find(path));
}

const TFakeFileSystem::TNode* TFakeFileSystem::Followed(const std::string& path) const {
  const TNode* node = Find(path);
  for (int hop = 0; node && hop < maxLinkHops; ++hop) {
    auto link = LinkTargets.find(*node->Path);
    if (link == LinkTargets.end()) return node;
    node = Find(link->second);
  }
  return nullptr;
}

bool TFakeFileSystem::Fails(TPrimitive primitive, const std::string& path) const {
  return Failures[size_t(primitive)].count(path) != 0;
}

void TFakeFileSystem::Notify(TPrimitive primitive, const std::string& path) const {
  if (OnCall) OnCall(primitive, path);
}

// As CreateFileW for writing: a read-only item refuses, and so does a folder opened as a file.
bool TFakeFileSystem::OpensForTimes(const std::string& path, TItemKind kind) const {
  if (Fails(TPrimitive::WriteTimesOpen, path)) return false;
  const TNode* node = Find(path);
  if (!node || (node->Entry.Attributes & faReadOnly)) return false;
  return kind != TItemKind::File || !(node->Entry.Attributes & faDirectory);
}
