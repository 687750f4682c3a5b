#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/motion_document.h"
#include "ui/prompts.h"

namespace kz {

// The FlashAir Wi-Fi SD card, reached over HTTP. Every operation is one
// blocking request (or two, for an upload) to http://HOST/, HOST being
// "name" or "name:port". Failures of the transport show message 166 with the
// HTTP client's error text.

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
// the preparing GET fails or does not answer "SUCCESS", or the POST fails.
bool FlashAirUpload(const FlashAirCard& card, const std::string& name, std::string_view data,
                    bool showErrors);

// The POST of one file into the prepared folder; message 166 on failure.
bool FlashAirPost(const FlashAirCard& card, const std::string& name, std::string_view data);

// The bytes of the card file at `path`, at most `capacity`; the count read
// (short when the file is, or when the transport failed: message 166).
std::size_t FlashAirDownload(const FlashAirCard& card, const std::string& path, std::string& data,
                             std::size_t capacity);

}  // namespace kz
