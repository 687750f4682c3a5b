#include "ui/messages.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kz {
namespace {

struct Entry {
  int id;
  std::string_view text;
};

constexpr Entry kStringTable[] = {
#include "string_table.inc"
};

}  // namespace

std::string_view MessageText(int id) {
  const auto it = std::find_if(std::begin(kStringTable), std::end(kStringTable),
                               [id](const Entry& entry) { return entry.id == id; });
  return it == std::end(kStringTable) ? std::string_view() : it->text;
}

std::string FormatMessage(int id, const std::vector<std::string>& args) {
  const std::string_view text = MessageText(id);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '%' && next >= '1' && next <= '9') {
      const std::size_t index = static_cast<std::size_t>(next - '1');
      if (index < args.size()) out += args[index];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace kz
