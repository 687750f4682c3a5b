#include "platform/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace kz {
namespace {

// The error texts the user sees stay short and end without line breaks.
constexpr std::size_t kMaxErrorText = 259;

void InitialiseOnce() {
  // curl_easy_init would do this lazily, but not thread-safely.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink {
  std::string* out;
  std::size_t capacity;
  bool stopWhenFull;  // a GET stops reading; a POST drains its answer
};

std::size_t Receive(char* data, std::size_t size, std::size_t count, void* context) {
  Sink& sink = *static_cast<Sink*>(context);
  const std::size_t bytes = size * count;
  const std::size_t room = sink.capacity - std::min(sink.capacity, sink.out->size());
  sink.out->append(data, std::min(bytes, room));
  if (bytes > room && sink.stopWhenFull) return room;  // short count: curl stops here
  return bytes;
}

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
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

HttpResult Perform(const std::string& url, curl_slist* headers, const std::string_view* content,
                   Sink& sink, const HttpLimits& limits) {
  InitialiseOnce();
  HttpResult result;
  std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
  if (!handle) {
    result.error = "cannot start the HTTP client";
    return result;
  }
  char errorBuffer[CURL_ERROR_SIZE] = {};
  CURL* curl = handle.get();
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM in a threaded program
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Receive);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  if (headers != nullptr) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  if (content != nullptr) {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    // Never a null pointer: curl would read the content from stdin instead.
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, content->empty() ? "" : content->data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(content->size()));
  }

  const CURLcode code = curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  const bool cutOnPurpose =
      code == CURLE_WRITE_ERROR && sink.stopWhenFull && sink.out->size() >= sink.capacity;
  if (code == CURLE_OK || cutOnPurpose) {
    result.answered = true;
  } else {
    result.error = ErrorText(errorBuffer, code);
  }
  return result;
}

}  // namespace

HttpResult HttpGet(const std::string& url, std::string& body, std::size_t capacity,
                   const HttpLimits& limits) {
  body.clear();
  Sink sink{&body, capacity, true};
  return Perform(url, nullptr, nullptr, sink, limits);
}

HttpResult HttpPost(const std::string& url, const std::string& headerLine, std::string_view content,
                    std::string& answer, std::size_t capacity, const HttpLimits& limits) {
  answer.clear();
  std::unique_ptr<curl_slist, ListDeleter> headers(curl_slist_append(nullptr, headerLine.c_str()));
  // The card answers the body itself, not an interim "100 Continue".
  if (!headers || curl_slist_append(headers.get(), "Expect:") == nullptr) {
    HttpResult result;
    result.error = "cannot build the request";
    return result;
  }
  Sink sink{&answer, capacity, false};
  return Perform(url, headers.get(), &content, sink, limits);
}

}  // namespace kz
