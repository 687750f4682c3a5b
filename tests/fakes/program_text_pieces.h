#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace kz::testing {

// Pieces of motion program text as the writer lays them out, for tests that
// read programs back.

// The 128 words of a pose array: servo k at word 2k + 2, torque words
// 0x0064, the LED words from word 64.
class PoseArray {
 public:
  PoseArray() {
    words_.fill("0x0000");
    for (std::size_t n = 0; n < 24; ++n) words_[2 * n + 1] = "0x0064";
  }
  PoseArray& Servo(int k, const std::string& word) {
    words_[static_cast<std::size_t>(2 * k + 2)] = word;
    return *this;
  }
  PoseArray& Leds(const std::vector<std::string>& words) {
    for (std::size_t i = 0; i < words.size(); ++i) words_[64 + i] = words[i];
    return *this;
  }
  // Six lines: five of 24 words ending in a comma, one of 8.
  std::string Text() const {
    std::string text;
    for (std::size_t i = 0; i < words_.size(); ++i) {
      if (i % 24 == 0) text += '\t';
      text += words_[i];
      if (i != words_.size() - 1) text += ',';
      if (i % 24 == 23 || i == words_.size() - 1) text += "\r\n";
    }
    return text;
  }

 private:
  std::array<std::string, 128> words_;
};

inline const std::string kArrayHead = "<mem_w size=\"2\" adr=\"0x0a00\">\r\n";

inline std::string Block(const std::string& name, const std::string& type) {
  return "<medit>\r\n\t<block name=\"" + name + "\" type=\"" + type + "\"/>\r\n</medit>\r\n";
}

inline std::string Move(const std::string& travel) {
  return "<mem_w size=\"2\" adr=\"0x0b00\">" + travel +
         "</mem_w>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n\r\n";
}

inline std::string PoseGroup(const std::string& name, const PoseArray& array,
                             const std::string& travel) {
  return Block(name, "0") + kArrayHead + array.Text() + "</mem_w>\r\n" + Move(travel);
}

inline std::string SoundGroup(const std::string& which, const std::string& file) {
  return Block(which + " SOUND", "6") + "<mem_w size=\"2\" adr=\"0x0b00\">0x0064</mem_w>\r\n" +
         "<wait size=\"1\" adr=\"0x0b43\"/>\r\n<play filename=\"" + file + "\"/>\r\n\r\n";
}

inline const std::string kProgramHeader =
    "<medit>\r\n\t<format data=\"2\"/>\r\n</medit>\r\n\r\n"
    "<medit>\r\n\t<block name=\"Created by Kazo Motion Editor\" type=\"9\"/>\r\n</medit>\r\n\r\n";
inline const std::string kProgramEnd = "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";

}  // namespace kz::testing
