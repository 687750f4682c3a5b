#include "link/flashair.h"

#include "link/card_host.h"
#include "platform/http_client.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr const char* kPrepareUpload = "upload.cgi?WRITEPROTECT=OFF&UPDIR=/ADDON";
constexpr std::size_t kPrepareAnswerCapacity = 16;
// The card answers a POST with one word; more than this is not that word.
constexpr std::size_t kPostAnswerCapacity = 256;
constexpr std::size_t kQuotedAnswer = 64;
constexpr long kStatusOk = 200;
constexpr long kStatusNotFound = 404;

std::string UrlOf(const FlashAirCard& card, std::string_view path) {
  std::string url = "http://" + card.host + "/";
  url += path;
  return url;
}

// What went wrong, for message 166: its kind in Japanese for the text, the
// client's own words for the details.
struct Failure {
  int kind;
  std::string kindArg;
  std::string details;
};

Failure TransportFailure(const HttpResult& result) {
  switch (result.failure) {
    case HttpFailure::kTimedOut:
      return {kMsgHttpTimedOut, {}, result.error};
    case HttpFailure::kHostNotFound:
      return {kMsgHttpHostNotFound, {}, result.error};
    case HttpFailure::kCannotConnect:
      return {kMsgHttpCannotConnect, {}, result.error};
    case HttpFailure::kCutShort:
      return {kMsgHttpCutShort, {}, result.error};
    case HttpFailure::kAborted:
      return {kMsgHttpAborted, {}, result.error};
    default:
      return {kMsgHttpOther, {}, result.error};
  }
}

// Redirects count here too: the card never sends one, and following it
// would take the robot's files elsewhere.
Failure StatusFailure(long status) {
  const std::string number = std::to_string(status);
  return {kMsgHttpStatus, number, "HTTP " + number};
}

// An answer quoted in the details: printable ASCII only, and short.
std::string Quoted(std::string_view answer) {
  std::string text;
  for (char c : answer.substr(0, kQuotedAnswer)) text += (c >= 0x20 && c < 0x7F) ? c : '?';
  if (answer.size() > kQuotedAnswer) text += "...";
  return "answer \"" + text + "\"";
}

void Show(const FlashAirCard& card, const Failure& failure) {
  const std::string kind =
      Utf8ToCp932(FormatMessage(failure.kind, {failure.kindArg})).value_or(std::string());
  card.prompts.ShowMessage(kMsgFlashAirFailed, BoxKind::kOk, {kind}, failure.details);
}

// The host text goes into a URL: anything but a host and a port is refused
// before a request is made.
bool HostUsable(const FlashAirCard& card, bool showErrors) {
  if (IsCardHost(card.host)) return true;
  if (showErrors)
    card.prompts.ShowMessage(kMsgFlashAirHostInvalid, BoxKind::kExclamation, {card.host});
  return false;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t start = text.find_first_not_of(kBlanks);
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
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
  body.clear();
  if (!HostUsable(card, showErrors)) return false;
  const HttpResult result = HttpGet(UrlOf(card, path), body, capacity);
  if (result.answered && result.status == kStatusOk) return true;
  // An error page is not the card's answer: reading it as a listing or a
  // "SUCCESS" would let a missing folder pass.
  body.clear();
  if (showErrors)
    Show(card, result.answered ? StatusFailure(result.status) : TransportFailure(result));
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
  if (!HostUsable(card, true)) return false;
  const std::string header =
      std::string("Content-Type: multipart/form-data;boundary=") + kUploadBoundary;
  std::string answer;
  const HttpResult result = HttpPost(UrlOf(card, "upload.cgi"), header, UploadBody(name, data),
                                     answer, kPostAnswerCapacity);
  if (!result.answered) {
    Show(card, TransportFailure(result));
    return false;
  }
  if (result.status != kStatusOk) {
    Show(card, StatusFailure(result.status));
    return false;
  }
  // The card says "SUCCESS" only when it stored the file; an empty answer,
  // "ERROR" or an error page of something else on that address means the
  // robot would not find it.
  if (result.cut || Trimmed(answer) != "SUCCESS") {
    Show(card, Failure{kMsgCardRefusedUpload, {}, Quoted(answer)});
    return false;
  }
  return true;
}

CardFile FlashAirFetch(const FlashAirCard& card, const std::string& path, std::string& data,
                       std::size_t capacity) {
  data.clear();
  if (!HostUsable(card, true)) return CardFile::kFailed;
  const HttpResult result = HttpGet(UrlOf(card, path), data, capacity);
  if (result.answered && result.status == kStatusOk) return CardFile::kRead;
  // Neither a part of a file nor an error page is any part of the file.
  data.clear();
  if (result.answered && result.status == kStatusNotFound) return CardFile::kMissing;
  Show(card, result.answered ? StatusFailure(result.status) : TransportFailure(result));
  return CardFile::kFailed;
}

std::size_t FlashAirDownload(const FlashAirCard& card, const std::string& path, std::string& data,
                             std::size_t capacity) {
  FlashAirFetch(card, path, data, capacity);
  return data.size();
}

}  // namespace kz
