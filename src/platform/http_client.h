#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kz {

// Blocking HTTP requests for the robot link. Each request uses a client of
// its own, closed before it returns: no connection outlives an operation.
// Requests go straight to the host named: no proxy from the environment,
// no credentials (.netrc or any other), no redirect followed.

// Bounds that keep an absent, silent or slow card from freezing the editor.
struct HttpLimits {
  long connectSeconds = 5;  // to open the connection
  long stallSeconds = 10;   // without a single byte arriving
  long totalSeconds = 30;   // for the whole request, a large upload included
};

// Why a request failed, in words the user can be shown.
enum class HttpFailure {
  kNone,
  kTimedOut,       // a time limit ran out
  kHostNotFound,   // the name could not be resolved
  kCannotConnect,  // nobody accepted the connection
  kCutShort,       // the exchange broke off, or the answer ended before its announced length
  kAborted,        // AbortHttpRequests was called
  kOther,
};

struct HttpResult {
  bool answered = false;  // a whole response arrived and was read without a transport failure
  bool cut = false;       // the body filled the capacity; the rest was not read
  long status = 0;        // its HTTP status; 0 when none arrived
  HttpFailure failure = HttpFailure::kNone;
  std::string error;  // the client's description of a transport failure (English)
};

// GET of `url` with no extra request headers. At most `capacity` bytes of the
// answer's body land in `body`; a longer answer is cut there and the rest is
// not read (which is not a failure).
HttpResult HttpGet(const std::string& url, std::string& body, std::size_t capacity,
                   const HttpLimits& limits = {});

// POST of `content` in one piece with the extra request line `headerLine`
// ("Name: value"). At most `capacity` bytes of the answer are read into
// `answer`; a longer answer is cut there, as for a GET.
HttpResult HttpPost(const std::string& url, const std::string& headerLine, std::string_view content,
                    std::string& answer, std::size_t capacity, const HttpLimits& limits = {});

// Ends the request under way within a fraction of a second, and refuses
// every later one, until ResumeHttpRequests. Safe to call from a signal
// handler: Ctrl+C must not wait for a silent card's time limits.
void AbortHttpRequests();
void ResumeHttpRequests();

}  // namespace kz
