#pragma once

#include <windows.h>
// The other system headers build on the types that windows.h declares.
#include <shellapi.h>

#include "toolkit/Forms.h"

// The shell's handle of a drop. It is finished when the form says so, or at the latest when the
// handle goes, so that no drop's memory is left behind and none is freed twice.
class THDropHandle : public TDropHandle {
 public:
  explicit THDropHandle(HDROP drop) : Drop(drop) {}
  ~THDropHandle() override;
  THDropHandle(const THDropHandle&) = delete;
  THDropHandle& operator=(const THDropHandle&) = delete;

  int Count() const override;
  std::string Name(int index) const override;
  TPoint Point() const override;
  void Finish() override;
  bool Finished() const { return !Drop; }

 private:
  HDROP Drop;
};
