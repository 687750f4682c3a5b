#include "formats/program_text.h"

#include <cstdio>

namespace kz {
namespace {

// "0x%04hx": the low 16 bits in four lower-case digits.
std::string Address(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(value) & 0xFFFFu);
  return text;
}

void AppendWord(std::string& out, std::uint16_t word) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(word));
  out += text;
}

void AppendBlock(std::string& out, std::string_view name, std::string_view type) {
  out += "<medit>\r\n\t<block name=\"";
  out += name;
  out += '"';
  if (!type.empty()) {
    out += " type=\"";
    out += type;
    out += '"';
  }
  out += "/>\r\n</medit>\r\n";
}

}  // namespace

std::string JumpTarget(std::uint32_t offset) {
  if (offset == 0) return "0000000000";
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(offset));
  return text;
}

void AppendHeader(std::string& out) {
  out +=
      "<medit>\r\n\t<format data=\"2\"/>\r\n</medit>\r\n\r\n"
      "<medit>\r\n\t<block name=\"Created by Kazo Motion Editor\" type=\"9\"/>\r\n</medit>\r\n"
      "\r\n";
}

void AppendSetPositionHead(std::string& out) { AppendBlock(out, "SET POSITION", "2"); }

void AppendSetPositionLine(std::string& out, int servoIndex) {
  // "%#06hx" of addresses that are never 0.
  out += "<calc>\r\n\t<mem_r size=\"2\" adr=\"" + Address(0x0d82 + 2 * servoIndex) +
         "\"/>\r\n\t<mem_r size=\"2\" adr=\"" + Address(0x104a + 64 * servoIndex) +
         "\"/>\r\n\t<sub/>\r\n\t<mem_w size=\"2\" adr=\"" + Address(0x0a04 + 4 * servoIndex) +
         "\"/>\r\n</calc>\r\n";
}

void AppendSetPositionMove(std::string& out) {
  out +=
      "<mem_w size=\"2\" adr=\"0x0b00\">100</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n\r\n";
}

void AppendTorqueOn(std::string& out) {
  AppendBlock(out, "SERVO TORUQUE ON", "2");
  out +=
      "<calc>\r\n\t<const data=\"1\"/>\r\n\t<mem_w size=\"2\" adr=\"0x0048\"/>\r\n</calc>\r\n\r\n";
}

void AppendTorqueOff(std::string& out) {
  AppendBlock(out, "SERVO TORUQUE OFF", "2");
  out +=
      "<calc>\r\n\t<const data=\"0\"/>\r\n\t<mem_w size=\"2\" adr=\"0x0048\"/>\r\n</calc>\r\n\r\n";
}

void AppendSound(std::string& out, std::string_view which, std::string_view fileName) {
  AppendBlock(out, std::string(which) + " SOUND", "6");
  out +=
      "<mem_w size=\"2\" adr=\"0x0b00\">0x0064</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n"
      "<play filename=\"";
  out += fileName;
  out += "\"/>\r\n\r\n";
}

void AppendWait(std::string& out, int sixtieths) {
  AppendBlock(out, "WAIT", "10");
  out += "<wait data=\"" + std::to_string(sixtieths) + "\"/>\r\n\r\n";
}

void AppendPostureCheckPart1(std::string& out) {
  AppendBlock(out, "KAZO POSE CHECK", "");
  out +=
      "<calc>\r\n\t<mem_r size=\"1\" adr=\"0x0f82\"/>\r\n\t<const "
      "data=\"1\"/>\r\n\t<sub/>\r\n\t<eq/>\r\n";
}

void AppendPostureCheckPart2(std::string& out) {
  out +=
      "\t<jump adr=\"0x00000000\"/>\r\n</calc>\r\n"
      "<calc>\r\n\t<mem_r size=\"1\" adr=\"0x0f82\"/>\r\n\t<const "
      "data=\"2\"/>\r\n\t<sub/>\r\n\t<eq/>"
      "\r\n";
}

void AppendPostureCheckPart3(std::string& out) {
  out += "\t<jump adr=\"0x00000000\"/>\r\n</calc>\r\n\r\n";
  AppendBlock(out, "STAND POSE MOTION", "");
  out += "\r\n";
}

void AppendPostureJump(std::string& out, std::uint32_t target) {
  out += "\t<jump adr=\"" + JumpTarget(target) + "\"/>\r\n";
}

void AppendGroundPostureHead(std::string& out) {
  AppendBlock(out, "GROUND POSE MOTION", "");
  out += "\r\n";
}

void AppendChairPostureHead(std::string& out) {
  AppendBlock(out, "CHAIR POSE MOTION", "");
  out += "\r\n";
}

void AppendPostureEndHead(std::string& out) { AppendBlock(out, "KAZO POSE END", ""); }

void AppendPlainJump(std::string& out, std::uint32_t target) {
  out += "<jump adr=\"" + JumpTarget(target) + "\"/>\r\n\r\n";
}

void AppendSetSynchroTimer(std::string& out, int number, int synchroRegister) {
  AppendBlock(out, "SET SYNCHRO TIMER" + std::to_string(number), "2");
  out += "<calc>\r\n\t<mem_r size=\"4\" adr=\"0x0080\"/>\r\n\t<mem_w size=\"4\" adr=\"" +
         Address(synchroRegister) + "\"/>\r\n</calc>\r\n\r\n";
}

void AppendCheckSynchro(std::string& out, std::string_view label, int synchroRegister,
                        int startTime) {
  AppendBlock(out, "CHECK SYNCHRO " + std::string(label), "1");
  out += "<calc>\r\n\t<mem_r size=\"4\" adr=\"" + Address(synchroRegister) +
         "\"/>\r\n\t<const data=\"" + std::to_string(startTime) +
         "\"/>\r\n\t<add/>\r\n\t<mem_w size=\"4\" adr=\"" + Address(synchroRegister + 4) +
         "\"/>\r\n</calc>\r\n";
}

void AppendSynchroTest(std::string& out, int synchroRegister, std::uint32_t poseOffset) {
  out += "<calc>\r\n\t<mem_r size=\"4\" adr=\"0x0080\"/>\r\n\t<mem_r size=\"4\" adr=\"" +
         Address(synchroRegister + 4) + "\"/>\r\n\t<sub/>\r\n\t<ge/>\r\n\t<jump adr=\"" +
         JumpTarget(poseOffset) + "\"/>\r\n</calc>\r\n";
}

void AppendSynchroWait(std::string& out, int waitTime, std::uint32_t checkOffset) {
  char wait[16];
  std::snprintf(wait, sizeof wait, "%04d", waitTime);
  out += "<wait data=\"" + std::string(wait) + "\"/>\r\n";
  AppendPlainJump(out, checkOffset);
}

void AppendSetLoopCounter(std::string& out, int count) {
  AppendBlock(out, "SET LOOP COUNTER", "2");
  out += "<calc>\r\n\t<const data=\"" + std::to_string(count) +
         "\"/>\r\n\t<mem_w size=\"2\" adr=\"0x0f00\"/>\r\n</calc>\r\n\r\n";
}

void AppendCountDown(std::string& out) {
  AppendBlock(out, "KZMOTION COUNT DOWN", "2");
  out +=
      "<calc>\r\n\t<mem_r size=\"2\" adr=\"0x0f00\"/>\r\n\t<const data=\"1\"/>\r\n\t<sub/>\r\n"
      "\t<mem_w size=\"2\" adr=\"0x0f00\"/>\r\n</calc>\r\n\r\n";
}

void AppendCheckCounter(std::string& out, std::uint32_t countDownOffset) {
  AppendBlock(out, "KZMOTION CHECK COUNTER", "1");
  out +=
      "<calc>\r\n\t<mem_r size=\"2\" adr=\"0x0f00\"/>\r\n\t<const data=\"0\"/>\r\n\t<sub/>\r\n"
      "\t<ne/>\r\n\t<jump adr=\"" +
      JumpTarget(countDownOffset) + "\"/>\r\n</calc>\r\n\r\n";
}

void AppendFinalLine(std::string& out) { out += "<wait size=\"1\" adr=\"0x0b43\"/>\r\n"; }

void AppendPoseGroup(std::string& out, std::string_view postureName, std::string_view label,
                     const PoseArrayWords& words, int travelTime) {
  std::string name;
  if (!postureName.empty()) {
    name += postureName;
    name += ' ';
  }
  name += label;
  AppendBlock(out, name, "0");
  out += "<mem_w size=\"2\" adr=\"0x0a00\">\r\n";
  // Six lines: five of 24 words, each followed by a comma, and one of 8.
  constexpr int kWordsPerLine = 24;
  for (int i = 0; i < kPoseArrayWords; ++i) {
    if (i % kWordsPerLine == 0) out += '\t';
    AppendWord(out, words[static_cast<std::size_t>(i)]);
    if (i == kPoseArrayWords - 1) {
      out += "\r\n";
    } else {
      out += ',';
      if (i % kWordsPerLine == kWordsPerLine - 1) out += "\r\n";
    }
  }
  out += "</mem_w>\r\n<mem_w size=\"2\" adr=\"0x0b00\">" + std::to_string(travelTime) +
         "</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n\r\n";
}

}  // namespace kz
