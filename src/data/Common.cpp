#include "data/Common.h"

std::string GroupDigits(const std::string& text) {
  std::string result = text;
  // 1-based positions, as the grouping is usually described: a comma goes before position pos.
  int pos = int(text.size()) + 1;
  const int first = (!text.empty() && text[0] == '-') ? 2 : 1;
  pos -= 3;
  while (first < pos) {
    result.insert(size_t(pos - 1), 1, ',');
    pos -= 3;
  }
  return result;
}
