#include "writer.h"

#include <cstdio>

namespace catgen {

std::string Line(const Entry& e, bool hex) {
  char code[16];
  std::snprintf(code, sizeof code, hex ? "%08lX" : "%lu", static_cast<unsigned long>(e.value));
  std::string line = std::string(code) + "\t" + e.name;
  if (!e.name.empty() && !e.text.empty()) line += " - ";
  line += e.text;
  for (std::size_t i = 0; i < e.also.size(); ++i) line += (i ? ", " : " (also ") + e.also[i];
  return e.also.empty() ? line : line + ")";
}

std::string Catalogue(const std::vector<Entry>& entries, bool hex) {
  std::string text;
  for (const Entry& e : entries) text += Line(e, hex) + "\r\n";
  return text;
}

}  // namespace catgen
