#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/motion_document.h"
#include "ui/prompts.h"

namespace kz {

// The FlashAir Wi-Fi SD card, reached over HTTP. Every operation is one
// blocking request (or two, for an upload) to http://HOST/, HOST being
// "name" or "name:port" (IsCardHost; any other text is refused before a
// request, message 240). Only status 200 is an answer. Failures show message
// 166 with their kind in Japanese; the HTTP client's own text goes into the
// box's details.

inline constexpr const char* kUploadBoundary = "========================";

struct FlashAirCard {
  std::string host;
  Prompts& prompts;
};

// The card the document's settings name.
inline FlashAirCard FlashAirCardOf(const MotionDocument& document, Prompts& prompts) {
  return FlashAirCard{document.flashAirHost, prompts};
}

// The multipart body that uploads `data` as file `name`.
std::string UploadBody(std::string_view name, std::string_view data);

// GET of `path` (after "http://HOST/") into `body`, at most `capacity`
// bytes; a longer answer is cut. Message 166 on failure when `showErrors`.
bool FlashAirGet(const FlashAirCard& card, const std::string& path, std::string& body,
                 std::size_t capacity, bool showErrors);

// Prepares the upload folder "ADDON" and posts the file there. False when
// the preparing GET fails or does not begin with "SUCCESS", or the POST fails.
bool FlashAirUpload(const FlashAirCard& card, const std::string& name, std::string_view data,
                    bool showErrors);

// The POST of one file into the prepared folder; message 166 on failure. It
// succeeds only when the card answers "SUCCESS" (blanks and line ends
// around it aside) with status 200.
bool FlashAirPost(const FlashAirCard& card, const std::string& name, std::string_view data);

// What a download found.
enum class CardFile {
  kRead,     // status 200, the whole answer or its first `capacity` bytes
  kMissing,  // the card answered 404: no such file, nothing shown
  kFailed,   // anything else: message 166 (or the host's message) shown
};

// The bytes of the card file at `path`, at most `capacity`, in `data`. Only a
// whole answer counts: a transfer that broke off, or one that ended before
// its announced length, leaves `data` empty, as does every failure.
CardFile FlashAirFetch(const FlashAirCard& card, const std::string& path, std::string& data,
                       std::size_t capacity);

// The same, as the count of bytes read: 0 for a missing file or a failure.
std::size_t FlashAirDownload(const FlashAirCard& card, const std::string& path, std::string& data,
                             std::size_t capacity);

}  // namespace kz
