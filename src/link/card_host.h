#pragma once

#include <string_view>

namespace kz {

// The FlashAir card's address as the settings and the command line give it:
// a host name ("flashair", "card.local") or an IP address ("192.168.0.1",
// "[fe80::1]"), optionally followed by ":" and a port from 1 to 65535.
// Nothing else: the text becomes part of a URL, where a path, a query, a
// user name or a blank would send the requests somewhere else.
bool IsCardHost(std::string_view host);

}  // namespace kz
