#include "formats/motion_json.h"

#include <cstdio>

#include "platform/text_encoding.h"

namespace kz {
namespace {

// System text as a JSON string; bytes that are not CP932 show as U+FFFD.
std::string Quoted(const std::string& cp932) {
  const std::string utf8 = Cp932ToUtf8(cp932).value_or("\xEF\xBF\xBD");
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "\"0x%06x\"", value);
  return text;
}

std::string PoseJson(const Pose& pose) {
  std::string servo;
  for (int k = 0; k < kServoCount; ++k)
    servo += (k ? ", " : "") + std::to_string(pose.servo[static_cast<std::size_t>(k)]);
  return "    {\"label\": " + Quoted(pose.label) +
         ", \"travelTime\": " + std::to_string(pose.travelTime) +
         ", \"holdTime\": " + std::to_string(pose.holdTime) +
         ", \"leftEye\": " + Hex(pose.leftEye) + ", \"rightEye\": " + Hex(pose.rightEye) +
         ", \"mouth\": " + std::to_string(pose.mouth) +
         ", \"flags\": " + std::to_string(pose.flags) +
         ", \"startTime\": " + std::to_string(pose.startTime) + ",\n     \"servo\": [" + servo +
         "]}";
}

}  // namespace

std::string MotionJson(const Motion& motion) {
  std::string json = "{\n";
  json += "  \"loopCount\": " + std::to_string(motion.loopCount) + ",\n";
  json += std::string("  \"backAndForth\": ") + (motion.backAndForth ? "true" : "false") + ",\n";
  json += "  \"startSound\": " + Quoted(motion.startSound) + ",\n";
  json += "  \"endSound\": " + Quoted(motion.endSound) + ",\n";
  json += "  \"startWait\": " + std::to_string(motion.startWait) + ",\n";
  json += "  \"endWait\": " + std::to_string(motion.endWait) + ",\n";
  json += std::string("  \"startTorqueOn\": ") + (motion.startTorqueOn ? "true" : "false") + ",\n";
  json += std::string("  \"endTorqueOff\": ") + (motion.endTorqueOff ? "true" : "false") + ",\n";
  json += "  \"poses\": [";
  for (int i = 0; i < motion.poseCount(); ++i)
    json += (i ? ",\n" : "\n") + PoseJson(motion.poses[static_cast<std::size_t>(i)]);
  json += motion.poseCount() ? "\n  ]\n}\n" : "]\n}\n";
  return json;
}

}  // namespace kz
