#include "ui/Hints.h"

const std::string GetTargetHint = "Drop files and folders here to read their times";
const std::string SetTargetHint =
    "Drop files and folders here to give them the average times of Get";
const std::string SyncTargetHint =
    "Drop files and folders here to give each the times of its Get item, in name order";
const std::string CRTimeHint = "Write the creation time";
const std::string LWTimeHint = "Write the last-write time";
const std::string LATimeHint = "Write the last-access time";
const std::string SubdirsHint = "Take in everything inside dropped folders, at every depth";
const std::string DirectoriesHint = "Read and write the times of folders themselves";
const std::string AnyAttrHint =
    "Also write read-only, hidden and system items, their attributes put back afterwards";

std::string DropHint(TOperationKind kind) {
  switch (kind) {
    case okGet:
      return "Drop on Get: read the items' times";
    case okSet:
      return "Drop on Set: write the average times";
    case okSync:
      return "Drop on Sync: copy the times one by one";
    default:
      return "Drop here: Properties of the items";
  }
}
