#include "formats/program_names.h"

namespace kz {

bool FitsProgram(std::string_view name) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '<' || c == '>' || byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

}  // namespace kz
