#include "platform/posix/MountedVolume.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <sstream>
#include <string_view>

namespace {

std::string WindowsName(const std::string& type) {
  if (type == "vfat" || type == "msdos" || type == "fuse.fusefat") return "FAT";
  if (type == "exfat" || type == "fuse.exfat") return "exFAT";
  return type;
}

bool IsNetworkType(std::string_view type) {
  for (std::string_view network : {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ceph",
                                   "fuse.sshfs", "davfs", "fuse.davfs2"}) {
    if (type == network) return true;
  }
  return false;
}

// The type field of the mount whose device is the item's: a line of /proc/self/mountinfo reads
// "id parent major:minor root mountpoint options [optional fields] - type source super-options".
std::string MountType(const struct stat& item) {
  const std::string device =
      std::to_string(major(item.st_dev)) + ":" + std::to_string(minor(item.st_dev));
  std::ifstream mounts("/proc/self/mountinfo");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string id, parent, numbers, field;
    if (!(fields >> id >> parent >> numbers) || numbers != device) continue;
    while (fields >> field && field != "-") {
    }
    std::string type;
    if (fields >> type) return type;
  }
  return {};
}

}  // namespace

bool MountedVolume(const std::string& path, TVolumeInfo& volume) {
  struct stat item;
  if (lstat(path.c_str(), &item) != 0) return false;
  const std::string type = MountType(item);
  if (type.empty()) return false;
  volume.FileSystemName = WindowsName(type);
  volume.Remote = IsNetworkType(type);
  return true;
}
