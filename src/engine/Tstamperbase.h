#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/Common.h"
#include "data/Tstamp.h"
#include "platform/Thread.h"

// One byte per stamp: 1 while the item is still good, 0 once it failed or is to be skipped.
using TFlags = std::vector<uint8_t>;

// The file-system work of one operation, run on its worker thread: dropped paths to items, reading
// and writing times, averages and the Properties report, and message boxes on the main thread.
// Every loop stops early once the thread is asked to terminate.
class TStamperBase : public TThread {
 public:
  // Suspended, and frees itself when its run has ended.
  TStamperBase();
  ~TStamperBase() override;

  std::string NormalizePath(const std::string& path);
  // Replaces the dropped paths by the sorted, duplicate-free item paths the options select.
  void ExpandItems(TStringList& list, TStampOptions options);
  int ReadStamps(TStringList& errorLog, TStamps& stamps, int& folderCount, TFlags& flags);
  int GetStamps(TStringList& errorLog, TStamps& stamps, int& folderCount);
  void RemoveFailedUnits(TStamps& stamps, const TFlags& flags);
  int WriteStamps(TStringList& errorLog, TStamps& stamps, TStampOptions options, bool forward,
                  TFlags& flags);
  static std::string AttributeText(uint32_t attrs);
  // Shows the box on the main thread and waits for the answer.
  int ShowMessageBox(const std::string& text, int style);

  TStamp AverageStamp(const TStamps& stamps);
  void ShowProperties(int fileCount, int dirCount, const TStamp& average);

 protected:
  std::string MessageText;
  int MessageFlags = 0;
  int MessageResult = 0;
};
