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

bool SamePose(const kz::Pose& a, const kz::Pose& b) {
  return a.travelTime == b.travelTime && a.holdTime == b.holdTime && a.leftEye == b.leftEye &&
         a.rightEye == b.rightEye && a.mouth == b.mouth && a.flags == b.flags &&
         a.startTime == b.startTime && a.reserved == b.reserved && a.label == b.label &&
         a.servo == b.servo;
}

// A sound name comes back as it was, or cut at a character boundary to
// what its header field holds (saving refuses such a name with a message).
bool KeptOrCut(std::string_view before, std::string_view after) {
  return after == before || (after.size() < before.size() &&
                             after == kz::Cp932Prefix(before, kz::kEditDataSoundNameMax));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto decoded = kz::DecodeEditData(input, kMaxPose);
  if (!decoded) return 0;
  KZ_FUZZ_CHECK(decoded->poses.size() <= kMaxPose);

  // The motion as opening the file leaves it in the document.
  auto document = kz::fuzz::NewDocument();
  document->motion.poses = decoded->poses;
  document->motion.startSound = decoded->startSound;
  document->motion.endSound = decoded->endSound;
  document->motion.startWait = decoded->startWait;
  document->motion.endWait = decoded->endWait;
  document->motion.startTorqueOn = (decoded->flags & kz::kEditDataStartTorqueOn) != 0 ? 1 : 0;
  document->motion.endTorqueOff = (decoded->flags & kz::kEditDataEndTorqueOff) != 0 ? 1 : 0;
  const kz::EditDataOptions options{decoded->loopCount,
                                    (decoded->flags & kz::kEditDataBackAndForth) != 0};

  const std::string encoded = kz::EncodeEditData(*document, options);
  const auto again = kz::DecodeEditData(encoded, kMaxPose);
  KZ_FUZZ_CHECK(again.has_value());
  KZ_FUZZ_CHECK(again->version == kz::kEditDataVersion);
  constexpr std::uint32_t kKnownFlags =
      kz::kEditDataBackAndForth | kz::kEditDataStartTorqueOn | kz::kEditDataEndTorqueOff;
  KZ_FUZZ_CHECK(again->flags == (decoded->flags & kKnownFlags));
  KZ_FUZZ_CHECK(again->loopCount == decoded->loopCount);
  KZ_FUZZ_CHECK(KeptOrCut(decoded->startSound, again->startSound));
  KZ_FUZZ_CHECK(KeptOrCut(decoded->endSound, again->endSound));
  KZ_FUZZ_CHECK(again->startWait == decoded->startWait);
  KZ_FUZZ_CHECK(again->endWait == decoded->endWait);
  KZ_FUZZ_CHECK(again->poses.size() == decoded->poses.size());
  for (std::size_t i = 0; i < decoded->poses.size(); ++i)
    KZ_FUZZ_CHECK(SamePose(again->poses[i], decoded->poses[i]));

  // A file the encoder wrote is its own fixed point.
  document->motion.poses = again->poses;
  document->motion.startSound = again->startSound;
  document->motion.endSound = again->endSound;
  KZ_FUZZ_CHECK(kz::EncodeEditData(*document, options) == encoded);
  return 0;
}
