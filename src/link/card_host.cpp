#include "link/card_host.h"

#include <arpa/inet.h>

#include <algorithm>
#include <string>

namespace kz {
namespace {

constexpr std::size_t kMaxHostName = 253;
constexpr std::size_t kMaxLabel = 63;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsPort(std::string_view text) {
  if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), IsDigit))
    return false;
  const int port = std::stoi(std::string(text));
  return port >= 1 && port <= 65535;
}

// Letters, digits and inner hyphens, 1 to 63 characters.
bool IsLabel(std::string_view label) {
  if (label.empty() || label.size() > kMaxLabel) return false;
  if (label.front() == '-' || label.back() == '-') return false;
  return std::all_of(label.begin(), label.end(),
                     [](char c) { return IsLetter(c) || IsDigit(c) || c == '-'; });
}

bool IsHostName(std::string_view name) {
  if (name.empty() || name.size() > kMaxHostName) return false;
  std::size_t start = 0;
  bool allNumeric = true;
  for (;;) {
    const std::size_t end = std::min(name.find('.', start), name.size());
    const std::string_view label = name.substr(start, end - start);
    if (!IsLabel(label)) return false;
    allNumeric = allNumeric && std::all_of(label.begin(), label.end(), IsDigit);
    if (end == name.size()) break;
    start = end + 1;
  }
  if (!allNumeric) return true;
  // Digits and dots only: an IPv4 address, which must then be a valid one.
  in_addr address{};
  return inet_pton(AF_INET, std::string(name).c_str(), &address) == 1;
}

bool IsBracketedIpv6(std::string_view text) {
  if (text.size() < 3 || text.front() != '[' || text.back() != ']') return false;
  in6_addr address{};
  return inet_pton(AF_INET6, std::string(text.substr(1, text.size() - 2)).c_str(), &address) == 1;
}

}  // namespace

bool IsCardHost(std::string_view host) {
  std::string_view name = host;
  if (!host.empty() && host.front() == '[') {
    const std::size_t close = host.find(']');
    if (close == std::string_view::npos) return false;
    name = host.substr(0, close + 1);
    const std::string_view rest = host.substr(close + 1);
    if (!rest.empty() && (rest.front() != ':' || !IsPort(rest.substr(1)))) return false;
    return IsBracketedIpv6(name);
  }
  const std::size_t colon = host.find(':');
  if (colon != std::string_view::npos) {
    if (!IsPort(host.substr(colon + 1))) return false;
    name = host.substr(0, colon);
  }
  return IsHostName(name);
}

}  // namespace kz
