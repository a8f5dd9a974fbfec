#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/Common.h"
#include "data/Tstamp.h"
#include "platform/FileSystem.h"
#include "platform/Thread.h"

// One byte per stamp: 1 while the item is still good, 0 once it failed or is to be skipped.
using TFlags = std::vector<uint8_t>;

// The file-system work of one operation, run on its worker thread: dropped paths to items, reading
// and writing times, averages and the Properties report, and message boxes on the main thread.
// Every loop stops early once the thread is asked to terminate. Flag arrays hold one flag per
// stamp.
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
  // With timesWritten, it ends with one byte per stamp: 1 exactly where the times were written,
  // whatever became of the attributes afterwards.
  int WriteStamps(TStringList& errorLog, TStamps& stamps, TStampOptions options, bool forward,
                  TFlags& flags, TFlags* timesWritten = nullptr);
  static std::string AttributeText(uint32_t attrs);
  // Shows the box on the main thread and waits for the answer.
  int ShowMessageBox(const std::string& text, int style);

  TStamp AverageStamp(const TStamps& stamps);
  void ShowProperties(int fileCount, int dirCount, const TStamp& average);

 protected:
  std::string MessageText;
  int MessageFlags = 0;
  int MessageResult = 0;

 private:
  // The ids of the folders being walked, outermost first.
  using TDescent = std::vector<TFolderId>;

  static bool IsExistingFolder(const std::string& path);

  void AddFolder(TStringList& items, const std::string& folder, const TStampOptions& options,
                 TDescent& descent);
  void AddFolderItems(TStringList& items, const std::string& folder, const TStampOptions& options,
                      TDescent& descent);
  bool WriteStamp(TStringList& errorLog, const TStamp& stamp, const TStampOptions& options,
                  uint8_t& flag);
};
