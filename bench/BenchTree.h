#pragma once

#include <string>

// A real tree of folders with files in them, made once per benchmark run and removed at its end.
class TBenchTree {
 public:
  TBenchTree(int folders, int filesPerFolder);
  ~TBenchTree();
  TBenchTree(const TBenchTree&) = delete;
  TBenchTree& operator=(const TBenchTree&) = delete;

  const std::string& Root() const { return FRoot; }
  // Every item below and including the root: folders + files + 1.
  int ItemCount() const { return FItems; }
  // A file outside the tree whose times `touch -r` copies.
  const std::string& Reference() const { return FReference; }

 private:
  std::string FBase;
  std::string FRoot;
  std::string FReference;
  int FItems = 0;
};
