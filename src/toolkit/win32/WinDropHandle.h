#pragma once

#include <windows.h>
// The other system headers build on the types that windows.h declares.
#include <shellapi.h>

#include <string>
#include <vector>

#include "toolkit/Forms.h"

// What a drop block in global memory holds, read by our own parser with the block's size known:
// no system call walks another program's block. Malformed, with no names, when the block is.
struct TDropBlockNames {
  std::vector<std::string> Names;
  TPoint Point;
  bool Malformed = true;
};
TDropBlockNames ReadDropBlock(HGLOBAL block);

// The shell's handle of a drop, its names read once, in order. It is finished when the form says
// so, or at the latest when the handle goes, so that no drop's memory is left behind and none is
// freed twice.
class THDropHandle : public TNamesDropHandle {
 public:
  explicit THDropHandle(HDROP drop);
  ~THDropHandle() override;
  THDropHandle(const THDropHandle&) = delete;
  THDropHandle& operator=(const THDropHandle&) = delete;

  void Finish() override;

 private:
  THDropHandle(HDROP drop, TDropBlockNames read);
  HDROP Drop;
};
