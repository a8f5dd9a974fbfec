#pragma once

#include <string>
#include <vector>

#include "toolkit/Toolkit.h"

// Puts the program into a temporary folder of its own for the test, so that its settings file
// lives and dies with the test; the command line is put back afterwards.
class TProgramPlace {
 public:
  explicit TProgramPlace(std::vector<std::string> args) {
    for (int index = 0; index <= Application().ParamCount(); ++index)
      Saved.push_back(Application().ParamStr(index));
    Application().SetCommandLine(std::move(args));
  }
  ~TProgramPlace() { Application().SetCommandLine(Saved); }
  TProgramPlace(const TProgramPlace&) = delete;
  TProgramPlace& operator=(const TProgramPlace&) = delete;

 private:
  std::vector<std::string> Saved;
};
