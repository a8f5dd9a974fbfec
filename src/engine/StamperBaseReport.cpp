#include <cstdint>
#include <cstdio>

#include "engine/TimeText.h"
#include "engine/Tstamperbase.h"
#include "platform/LocalTime.h"
#include "platform/WinConst.h"

namespace {

// The running mean of one kind of time. The sum has 96 bits: times below 2^63, at most 2^32 of
// them, cannot overflow it.
class TTimeMean {
 public:
  void Add(const FILETIME& time) {
    if (!IsValidFileTime(time)) return;
    const uint64_t value = FileTimeValue(time);
    Low += value;
    if (Low < value) ++High;
    ++Count;
  }

  FILETIME Mean() const {
    FILETIME mean;
    if (Count == 0) {
      ClearFileTime(mean);
      return mean;
    }
    // Long division in 32-bit digits from the top; each step divides a value below Count * 2^32,
    // so every quotient digit fits in 32 bits. The top digit's quotient is 0: the mean is below
    // 2^63.
    const uint64_t middle = (uint64_t(High % Count) << 32) | (Low >> 32);
    const uint64_t bottom = ((middle % Count) << 32) | (Low & 0xFFFFFFFFu);
    return MakeFileTime(((middle / Count) << 32) | (bottom / Count));
  }

 private:
  uint64_t Low = 0;
  uint32_t High = 0;
  uint32_t Count = 0;
};

std::string CountText(long long count) { return GroupDigits(std::to_string(count)); }

std::string BiasText() {
  long minutes = 0;
  if (!StandardUtcBias(minutes)) return "(Unknown)";
  return GroupDigits(std::to_string(minutes)) + " minute(s)";
}

}  // namespace

std::string TimeText(const FILETIME& time) {
  TLocalTime local;
  if (!IsValidFileTime(time) || !ToLocalTime(time, local)) return "(Unknown)";
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.Year, local.Month,
                local.Day, local.Hour, local.Minute, local.Second, local.Milliseconds);
  return text;
}

TStamp TStamperBase::AverageStamp(const TStamps& stamps) {
  TTimeMean creation;
  TTimeMean lastWrite;
  TTimeMean lastAccess;
  for (const TStamp& stamp : stamps) {
    if (Terminated()) break;
    creation.Add(stamp.CRTime);
    lastWrite.Add(stamp.LWTime);
    lastAccess.Add(stamp.LATime);
  }
  TStamp average;
  average.CRTime = creation.Mean();
  average.LWTime = lastWrite.Mean();
  average.LATime = lastAccess.Mean();
  return average;
}

void TStamperBase::ShowProperties(int fileCount, int dirCount, const TStamp& average,
                                  const TTimeChoice* rule) {
  const std::string lineEnd = "\r\n";
  std::string text;
  text += "[Contents]" + lineEnd;
  text += "File Count: " + CountText(fileCount) + lineEnd;
  text += "Dir Count: " + CountText(dirCount) + lineEnd;
  // Summed in 64 bits: two counts near the 32-bit limit must not wrap into a negative total.
  text +=
      "File and Dir Total: " + CountText(static_cast<long long>(fileCount) + dirCount) + lineEnd;
  text += lineEnd;
  if (rule) {
    text += "[Rule]" + lineEnd;
    for (size_t i = 0; i < 3; ++i)
      text += TimeSourceName(TTimeSource(i)) + ": " + TimeSourceName(rule->Shifts()[i].Source) +
              " " + ShiftText(rule->Shifts()[i].Offset) + lineEnd;
  } else {
    text += "[Average]" + lineEnd;
    text += "CR Time: " + TimeText(average.CRTime) + lineEnd;
    text += "LW Time: " + TimeText(average.LWTime) + lineEnd;
    text += "LA Time: " + TimeText(average.LATime) + lineEnd;
  }
  text += "UTC Bias: " + BiasText() + lineEnd;
  ShowMessageBox(text, mbIconInformation);
}
