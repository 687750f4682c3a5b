#include "platform/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>

namespace kz {
namespace {

// The error texts the user sees stay short and end without line breaks.
constexpr std::size_t kMaxErrorText = 259;
// How long the client sleeps at most before it looks at the abort flag.
constexpr int kAbortPollMs = 100;

std::atomic<bool> abortRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void InitialiseOnce() {
  // curl_easy_init would do this lazily, but not thread-safely.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink {
  std::string* out;
  std::size_t capacity;
  bool cut = false;
};

std::size_t Receive(char* data, std::size_t size, std::size_t count, void* context) {
  Sink& sink = *static_cast<Sink*>(context);
  const std::size_t bytes = size * count;
  const std::size_t room = sink.capacity - std::min(sink.capacity, sink.out->size());
  sink.out->append(data, std::min(bytes, room));
  if (bytes > room) {
    sink.cut = true;
    return 0;  // a short count: the client stops reading here
  }
  return bytes;
}

int CheckAbort(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return abortRequested.load() ? 1 : 0;
}

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct MultiDeleter {
  void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

std::string ErrorText(const char* buffer, CURLcode code) {
  std::string text = buffer[0] != '\0' ? buffer : curl_easy_strerror(code);
  if (text.size() > kMaxErrorText) text.resize(kMaxErrorText);
  while (!text.empty() && static_cast<unsigned char>(text.back()) < 0x20) text.pop_back();
  return text;
}

HttpFailure FailureOf(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return HttpFailure::kTimedOut;
    case CURLE_COULDNT_RESOLVE_HOST:
      return HttpFailure::kHostNotFound;
    case CURLE_COULDNT_CONNECT:
      return HttpFailure::kCannotConnect;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
      return HttpFailure::kCutShort;
    case CURLE_ABORTED_BY_CALLBACK:
      return HttpFailure::kAborted;
    default:
      return HttpFailure::kOther;
  }
}

// Runs the transfer on a multi handle so that the abort flag is looked at
// every few tenths of a second, whatever the transfer is waiting for.
CURLcode Run(CURL* curl) {
  std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!multi || curl_multi_add_handle(multi.get(), curl) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
  CURLcode code = CURLE_OK;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
      code = CURLE_RECV_ERROR;
      break;
    }
    if (running == 0) {
      int left = 0;
      const CURLMsg* message = curl_multi_info_read(multi.get(), &left);
      code = message != nullptr && message->msg == CURLMSG_DONE ? message->data.result
                                                                : CURLE_RECV_ERROR;
      break;
    }
    if (abortRequested.load()) {
      code = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    curl_multi_poll(multi.get(), nullptr, 0, kAbortPollMs, nullptr);
  }
  curl_multi_remove_handle(multi.get(), curl);
  return code;
}

HttpResult Perform(const std::string& url, curl_slist* headers, const std::string_view* content,
                   Sink& sink, const HttpLimits& limits) {
  InitialiseOnce();
  HttpResult result;
  if (abortRequested.load()) {
    result.failure = HttpFailure::kAborted;
    result.error = "request aborted";
    return result;
  }
  std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
  if (!handle) {
    result.failure = HttpFailure::kOther;
    result.error = "cannot start the HTTP client";
    return result;
  }
  char errorBuffer[CURL_ERROR_SIZE] = {};
  CURL* curl = handle.get();
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  // The card sits on its own wireless network: a proxy of the environment
  // could not reach it, and would see every file sent to the robot.
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM in a threaded program
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.totalSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, CheckAbort);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Receive);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  if (headers != nullptr) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  if (content != nullptr) {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    // Never a null pointer: curl would read the content from stdin instead.
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, content->empty() ? "" : content->data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(content->size()));
  }

  const CURLcode code = Run(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  result.cut = sink.cut;
  if (code == CURLE_OK || (code == CURLE_WRITE_ERROR && sink.cut)) {
    result.answered = true;
  } else {
    result.failure = FailureOf(code);
    result.error = ErrorText(errorBuffer, code);
  }
  return result;
}

}  // namespace

HttpResult HttpGet(const std::string& url, std::string& body, std::size_t capacity,
                   const HttpLimits& limits) {
  body.clear();
  Sink sink{&body, capacity};
  return Perform(url, nullptr, nullptr, sink, limits);
}

HttpResult HttpPost(const std::string& url, const std::string& headerLine, std::string_view content,
                    std::string& answer, std::size_t capacity, const HttpLimits& limits) {
  answer.clear();
  std::unique_ptr<curl_slist, ListDeleter> headers(curl_slist_append(nullptr, headerLine.c_str()));
  // The card answers the body itself, not an interim "100 Continue".
  if (!headers || curl_slist_append(headers.get(), "Expect:") == nullptr) {
    HttpResult result;
    result.failure = HttpFailure::kOther;
    result.error = "cannot build the request";
    return result;
  }
  Sink sink{&answer, capacity};
  return Perform(url, headers.get(), &content, sink, limits);
}

void AbortHttpRequests() { abortRequested.store(true); }

void ResumeHttpRequests() { abortRequested.store(false); }

}  // namespace kz
