#pragma once

#include <string>

// A tree that the test's build made beforehand from the Linux side (a ctest fixture), where a
// Windows program under Wine cannot make it: names that differ only in letter case, or a chain of
// folders whose making through Wine takes too long. Its full path in the platform's form; "" when
// the test was not started through that fixture.
std::string HostTree(const std::string& name);

// The depth of the host's chain of folders, each named "a", with the file "x.txt" at the bottom.
constexpr int hostChainDepth = 2000;
