#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kz {

// The statement groups of a motion program text (.KM4), each written once.
// Every function appends its group's exact bytes to `out`: CR LF line ends,
// TAB-indented lines inside <medit> and <calc>. Names (labels, file names)
// are CP932 bytes and are written between their quotes as they are.
//
// A jump target is a byte offset from the start of the program; it is written
// in the ten-character form "0x%08x", and a target of 0 as ten "0" characters.
// While a forward target is unknown the writer puts 0 there and overwrites
// the same ten characters later, so every jump line keeps its length.

inline constexpr int kPoseArrayWords = 128;
using PoseArrayWords = std::array<std::uint16_t, kPoseArrayWords>;

// "%#010lx": ten characters for every 32-bit target.
std::string JumpTarget(std::uint32_t offset);

void AppendHeader(std::string& out);

// Start processing: the targets take the servos' present positions, then
// torque is switched on.
void AppendSetPositionHead(std::string& out);
void AppendSetPositionLine(std::string& out, int servoIndex);
void AppendSetPositionMove(std::string& out);
void AppendTorqueOn(std::string& out);
void AppendTorqueOff(std::string& out);

// `which` is "START" or "END".
void AppendSound(std::string& out, std::string_view which, std::string_view fileName);
void AppendWait(std::string& out, int sixtieths);

// The posture dispatch. Parts 2 and 3 each begin with a placeholder jump line
// of the same 27 bytes as AppendPostureJump, which later overwrites it.
void AppendPostureCheckPart1(std::string& out);
void AppendPostureCheckPart2(std::string& out);
void AppendPostureCheckPart3(std::string& out);
void AppendPostureJump(std::string& out, std::uint32_t target);
void AppendGroundPostureHead(std::string& out);
void AppendChairPostureHead(std::string& out);
void AppendPostureEndHead(std::string& out);

// 28 bytes for every target.
void AppendPlainJump(std::string& out, std::uint32_t target);

// Synchronised start times. `synchroRegister` holds the reference time and
// the word after it (+4) the target time; addresses keep their low 16 bits.
void AppendSetSynchroTimer(std::string& out, int number, int synchroRegister);
void AppendCheckSynchro(std::string& out, std::string_view label, int synchroRegister,
                        int startTime);
void AppendSynchroTest(std::string& out, int synchroRegister, std::uint32_t poseOffset);
void AppendSynchroWait(std::string& out, int waitTime, std::uint32_t checkOffset);

// The loop: the counter is set once, counted down at the loop's top and
// tested after the last pose.
void AppendSetLoopCounter(std::string& out, int count);
void AppendCountDown(std::string& out);
void AppendCheckCounter(std::string& out, std::uint32_t countDownOffset);

// Every program ends with this line.
void AppendFinalLine(std::string& out);

// One pose: its head (with the posture name before the label when
// `postureName` is not empty), the 128-word pose array at 0x0a00 and the move
// over `travelTime`. The hold time's WAIT is not part of it.
void AppendPoseGroup(std::string& out, std::string_view postureName, std::string_view label,
                     const PoseArrayWords& words, int travelTime);

}  // namespace kz
