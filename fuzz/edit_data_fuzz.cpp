// The .KZI decoder on any bytes: what it accepts encodes to a file that
// decodes to the same motion, and that file encodes to itself again.

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/edit_data.h"
#include "fuzz_support.h"
#include "platform/text_encoding.h"

namespace {

constexpr int kMaxPose = 180;

// A sound name comes back as it was, or cut at a character boundary to
// what its header field holds (saving refuses such a name with a message).
bool KeptOrCut(std::string_view before, std::string_view after) {
  return after == before || (after.size() < before.size() &&
                             after == kz::Cp932Prefix(before, kz::kEditDataSoundNameMax));
}

std::uint32_t Le32At(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto decoded = kz::DecodeEditData(input, kMaxPose);
  if (!decoded) return 0;
  KZ_FUZZ_CHECK(decoded->poses.size() <= kMaxPose);

  const std::string encoded = kz::EncodeEditData(*decoded);
  // The encoder writes its own version, whatever the file's was.
  KZ_FUZZ_CHECK(Le32At(encoded, 4) == static_cast<std::uint32_t>(kz::kEditDataVersion));
  const auto again = kz::DecodeEditData(encoded, kMaxPose);
  KZ_FUZZ_CHECK(again.has_value());
  KZ_FUZZ_CHECK(again->backAndForth == decoded->backAndForth);
  KZ_FUZZ_CHECK(again->startTorqueOn == decoded->startTorqueOn);
  KZ_FUZZ_CHECK(again->endTorqueOff == decoded->endTorqueOff);
  KZ_FUZZ_CHECK(again->loopCount == decoded->loopCount);
  KZ_FUZZ_CHECK(KeptOrCut(decoded->startSound, again->startSound));
  KZ_FUZZ_CHECK(KeptOrCut(decoded->endSound, again->endSound));
  KZ_FUZZ_CHECK(again->startWait == decoded->startWait);
  KZ_FUZZ_CHECK(again->endWait == decoded->endWait);
  KZ_FUZZ_CHECK(again->poses == decoded->poses);

  // A file the encoder wrote is its own fixed point.
  KZ_FUZZ_CHECK(kz::EncodeEditData(*again) == encoded);
  return 0;
}
