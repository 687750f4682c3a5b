#include "seeds.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

#include "commands/binary_program_commands.h"
#include "formats/edit_data.h"
#include "formats/program_writer.h"
#include "fuzz_support.h"
#include "link/records.h"
#include "model/ini_text.h"
#include "model/standard_values.h"
#include "platform/text_encoding.h"
#include "recognition_table.h"

namespace kz::fuzz {
namespace {

std::string SampleSetupText() {
  std::ifstream in(KZ_SOURCE_DIR "/samples/STARTUP.XML", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

StandardValues SampleStandardValues() {
  return ParseStandardValuesText(SampleSetupText()).value_or(StandardValues{});
}

// `count` poses with distinct servo values, colours and times, labelled
// ポーズ1..; `synchronised` gives the second pose a synchronised start.
Motion SampleMotion(int count, bool synchronised = false) {
  Motion motion;
  for (int i = 0; i < count; ++i) {
    Pose pose;
    for (int k = 0; k < kServoCount; ++k)
      pose.servo[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(37 * i * (k + 1) - 300);
    pose.travelTime = 30 + 5 * i;
    pose.holdTime = 20 * i;
    pose.leftEye = 0x0000FFu << (8 * (i % 3));
    pose.rightEye = 0x00A0A0A0u + static_cast<std::uint32_t>(i);
    pose.mouth = 40 * i;
    pose.flags = i % 2 == 0 ? kBrightnessLimit : 0;
    if (synchronised && i == 1) {
      pose.flags |= kStartSynchronised;
      pose.startTime = 90;
    }
    pose.label = SystemText("ポーズ" + std::to_string(i + 1));
    motion.poses.push_back(pose);
  }
  motion.startSound = "voice\\303.wav";
  motion.endSound = "voice\\Y153.wav";
  return motion;
}

// SampleMotion in a document with the sample's standard values, for the
// writers that take one.
std::unique_ptr<MotionDocument> SampleDocument(int count) {
  auto document = NewDocument(SampleStandardValues());
  document->motion = SampleMotion(count);
  return document;
}

std::vector<std::string> Programs() {
  std::vector<std::string> programs;
  const StandardValues standard = SampleStandardValues();
  const auto add = [&](const Motion& motion, bool perPosture = false) {
    if (const auto program =
            BuildProgramText(motion, {.standardValues = standard, .perPosture = perPosture}))
      programs.push_back(*program);
  };
  add(SampleMotion(1));
  Motion looped = SampleMotion(3);
  looped.loopCount = 3;
  looped.backAndForth = true;
  add(looped);
  add(SampleMotion(4), true);
  Motion torque = SampleMotion(2, true);
  torque.startTorqueOn = 1;
  torque.endTorqueOff = 1;
  torque.loopCount = 2;
  add(torque);
  return programs;
}

std::vector<std::string> EditData() {
  Motion looped = SampleMotion(2);
  looped.loopCount = 4;
  looped.backAndForth = true;
  Motion torque = SampleMotion(3, true);
  torque.startTorqueOn = 1;
  return {EncodeEditData(SampleMotion(0)), EncodeEditData(looped), EncodeEditData(torque)};
}

std::vector<std::string> Records() {
  const auto motion = SampleDocument(3);
  auto model2 = SampleDocument(3);
  model2->kazoModel = 2;
  model2->slowCheck = true;
  return {PoseRecord(*motion, motion->motion.poses[1]),
          PoseRecord(*model2, model2->motion.poses[2]),
          CaptureRecord(motion->motion.poses[2].servo), CaptureRecord({}, 0), CommandRecord(904)};
}

std::vector<std::string> SetupFiles() {
  std::vector<std::string> files = {SampleSetupText()};
  const auto document = SampleDocument(12);
  if (const auto image = BuildBinaryProgram(document->motion, BinaryProgramOptionsOf(*document), 0))
    files.push_back(*image);
  return files;
}

// A length byte and the text, as ByteSource::Text takes it.
std::string Field(std::string_view text) {
  return static_cast<char>(text.size()) + std::string(text);
}

std::vector<std::string> IniTexts() {
  std::string file;
  file = SetIniValue(file, "GENERAL", "KAZO_MODEL", "1");
  file = SetIniValue(file, "POSE", "MAX_POSE", "180");
  file = SetIniValue(file, "POSE", "PATH", SystemText("C:\\ロボット\\歩く.KM4"));
  file = SetIniValue(file, "SOUND", "START_SOUND", "voice\\303.wav");
  std::string crlf = "; settings\r\n[POSE]\r\nPOSE_TIME = 60 \r\n\r\n[SETUP]\r\nPATH=\"x\"\r\n";
  return {
      Field("POSE") + Field("POSE_WAIT") + Field("30") + Field("pose") + Field("max_pose") + file,
      Field("SOUND") + Field("START_SOUND") + Field(SystemText("声\\ようこそ.wav")) +
          Field("GENERAL") + Field("KAZO_MODEL") + file,
      Field(" setup ") + Field("PATH") + Field("'y'") + Field("POSE") + Field("POSE_TIME") + crlf};
}

// The number, then the image's bytes: its calculation for the number ends at
// offset 8, where the search begins, followed by the target address.
std::string DispatchSeed(int number, bool followed) {
  std::string rest(64, '\0');
  const char calc[] = {static_cast<char>(number & 0xFF),
                       static_cast<char>(number >> 8),
                       0,
                       0,
                       static_cast<char>(0xD1),
                       static_cast<char>(0xD9),
                       static_cast<char>(0xE0)};
  rest.replace(1, sizeof calc, calc, sizeof calc);
  const std::uint32_t target = 0x10;
  rest[8] = static_cast<char>(target);
  if (followed) {
    rest[target + 11] = static_cast<char>(0x81);
    rest[target + 12] = 0x20;
    rest[0x20 + 10] = static_cast<char>(0x82);
  } else {
    rest[target + 10] = static_cast<char>(0x82);
  }
  std::string seed;
  seed += static_cast<char>(number & 0xFF);
  seed += static_cast<char>(number >> 8);
  return seed + rest;
}

std::vector<std::string> RecognitionTables() {
  const std::vector<RecognitionWord> words = {
      {SystemText("おはよう"), 1}, {SystemText("歩いて"), 23}, {"STOP", -5}};
  std::string skipped = RecognitionTable(words);
  skipped += "0,hidden,-,-,7,-,1\r\n32,unoffered,-,-,8,-,,\r\n,blank,-,-,9,-,1\r\nend\r\n";
  return {RecognitionTable(words), skipped};
}

std::vector<std::string> Cp932Texts() {
  std::vector<std::string> texts;
  for (const char* utf8 :
       {"ポーズ1", "立ち姿勢 ポーズ3-1", "プログラム終了", "voice\\303.wav", "①～ⅻ￢∵"}) {
    texts.push_back(SystemText(utf8));
    texts.push_back(utf8);
  }
  return texts;
}

}  // namespace

std::map<std::string, std::vector<std::string>> AllSeeds() {
  const std::vector<std::string> programs = Programs();
  std::vector<std::string> eyes;
  for (const std::string& program : programs) eyes.push_back("\x05\x07" + program);
  return {
      {"program_text_fuzz", programs},
      {"edit_data_fuzz", EditData()},
      {"records_fuzz", Records()},
      {"setup_files_fuzz", SetupFiles()},
      {"ini_text_fuzz", IniTexts()},
      {"binary_image_fuzz", {DispatchSeed(23, false), DispatchSeed(300, true)}},
      {"recognition_words_fuzz", RecognitionTables()},
      {"jump_tools_fuzz", programs},
      {"eye_patterns_fuzz", eyes},
      {"cp932_fuzz", Cp932Texts()},
  };
}

}  // namespace kz::fuzz
