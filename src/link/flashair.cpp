#include "link/flashair.h"

#include "platform/http_client.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr const char* kPrepareUpload = "upload.cgi?WRITEPROTECT=OFF&UPDIR=/ADDON";
constexpr std::size_t kPrepareAnswerCapacity = 16;
// Enough of the card's answer to a POST to see whether it reports "ERROR".
constexpr std::size_t kPostAnswerCapacity = 256;
constexpr long kFirstErrorStatus = 400;

std::string UrlOf(const FlashAirCard& card, std::string_view path) {
  std::string url = "http://" + card.host + "/";
  url += path;
  return url;
}

void ShowFailure(const FlashAirCard& card, const std::string& text) {
  card.prompts.ShowMessage(kMsgFlashAirFailed, BoxKind::kOk, {text});
}

std::string StatusText(long status) { return "HTTP " + std::to_string(status); }

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string UploadBody(std::string_view name, std::string_view data) {
  const std::string delimiter = std::string("--") + kUploadBoundary + "\r\n";
  std::string body;
  body.reserve(153 + name.size() + data.size());
  body += delimiter;
  body += "Content-Disposition: form-data; name=\"upload.cgi\";filename=\"";
  body += name;
  body += "\"\r\n";
  body += delimiter;  // the card expects the delimiter again where a blank line would stand
  body += "\r\n";
  body += data;
  body += "\r\n--";
  body += kUploadBoundary;
  body += "--\r\n";
  return body;
}

bool FlashAirGet(const FlashAirCard& card, const std::string& path, std::string& body,
                 std::size_t capacity, bool showErrors) {
  const HttpResult result = HttpGet(UrlOf(card, path), body, capacity);
  std::string failure;
  if (!result.answered) {
    failure = result.error;
  } else if (result.status >= kFirstErrorStatus) {
    // An error page is not the card's answer: reading it as a listing or a
    // "SUCCESS" would let a missing folder pass.
    failure = StatusText(result.status);
  } else {
    return true;
  }
  body.clear();
  if (showErrors) ShowFailure(card, failure);
  return false;
}

bool FlashAirUpload(const FlashAirCard& card, const std::string& name, std::string_view data,
                    bool showErrors) {
  std::string answer;
  if (!FlashAirGet(card, kPrepareUpload, answer, kPrepareAnswerCapacity, showErrors)) return false;
  if (!StartsWith(answer, "SUCCESS")) return false;
  return FlashAirPost(card, name, data);
}

bool FlashAirPost(const FlashAirCard& card, const std::string& name, std::string_view data) {
  const std::string header =
      std::string("Content-Type: multipart/form-data;boundary=") + kUploadBoundary;
  std::string answer;
  const HttpResult result = HttpPost(UrlOf(card, "upload.cgi"), header, UploadBody(name, data),
                                     answer, kPostAnswerCapacity);
  if (!result.answered) {
    ShowFailure(card, result.error);
    return false;
  }
  // The card answers "ERROR" when it could not store the file; the file is
  // then not on the card, whatever the status says.
  if (result.status >= kFirstErrorStatus) {
    ShowFailure(card, StatusText(result.status));
    return false;
  }
  if (StartsWith(answer, "ERROR")) {
    ShowFailure(card, "ERROR");
    return false;
  }
  return true;
}

std::size_t FlashAirDownload(const FlashAirCard& card, const std::string& path, std::string& data,
                             std::size_t capacity) {
  const HttpResult result = HttpGet(UrlOf(card, path), data, capacity);
  if (!result.answered) ShowFailure(card, result.error);
  // A missing file's error page is no part of the file: callers see a short
  // count and report it themselves (a missing servo log ends a series).
  if (result.status >= kFirstErrorStatus) data.clear();
  return data.size();
}

}  // namespace kz
