#include "BenchTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

TBenchTree::TBenchTree(int folders, int filesPerFolder) {
  char pattern[] = "/tmp/brevantor-bench-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  FBase = pattern;
  FRoot = FBase + "/tree";
  FReference = FBase + "/reference";
  mkdir(FRoot.c_str(), 0755);
  close(open(FReference.c_str(), O_CREAT | O_WRONLY, 0644));
  char name[64];
  for (int d = 0; d < folders; ++d) {
    std::snprintf(name, sizeof name, "/folder%04d", d);
    const std::string folder = FRoot + name;
    mkdir(folder.c_str(), 0755);
    for (int f = 0; f < filesPerFolder; ++f) {
      std::snprintf(name, sizeof name, "/photo_%05d.jpg", f);
      close(open((folder + name).c_str(), O_CREAT | O_WRONLY, 0644));
    }
  }
  FItems = folders * filesPerFolder + folders + 1;
}

TBenchTree::~TBenchTree() {
  const std::string command = "rm -rf '" + FBase + "'";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", FBase.c_str());
}
