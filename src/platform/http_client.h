#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kz {

// Blocking HTTP requests for the robot link. Each request uses a client of
// its own, closed before it returns: no connection outlives an operation.

// Bounds that keep an absent or silent card from freezing the editor.
struct HttpLimits {
  long connectSeconds = 5;  // to open the connection
  long stallSeconds = 10;   // without a single byte arriving
};

struct HttpResult {
  bool answered = false;  // a response arrived and was read without a transport failure
  long status = 0;        // its HTTP status; 0 when none arrived
  std::string error;      // the client's description of a transport failure
};

// GET of `url` with no extra request headers. At most `capacity` bytes of the
// answer's body land in `body`; a longer answer is cut there and the rest is
// not read (which is not a failure).
HttpResult HttpGet(const std::string& url, std::string& body, std::size_t capacity,
                   const HttpLimits& limits = {});

// POST of `content` in one piece with the extra request line `headerLine`
// ("Name: value"). The first `capacity` bytes of the answer land in `answer`;
// the rest is read and dropped.
HttpResult HttpPost(const std::string& url, const std::string& headerLine, std::string_view content,
                    std::string& answer, std::size_t capacity, const HttpLimits& limits = {});

}  // namespace kz
