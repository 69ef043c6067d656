#include "shown_name.h"

#include <algorithm>
#include <cstdio>

namespace {
bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7f;
}
}  // namespace

std::string ShownName(const std::string& name) {
  if (std::none_of(name.begin(), name.end(), IsControl)) return name;
  std::string shown = "\"";
  for (const char c : name) {
    switch (c) {
      case '\n':
        shown += "\\n";
        break;
      case '\t':
        shown += "\\t";
        break;
      case '\r':
        shown += "\\r";
        break;
      case '"':
      case '\\':
        shown += '\\';
        shown += c;
        break;
      default:
        if (IsControl(c)) {
          char escape[5];
          std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(c));
          shown += escape;
        } else {
          shown += c;
        }
    }
  }
  return shown + "\"";
}
