#include "model/ini_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kz {
namespace {

struct FindCase {
  const char* what;
  std::string file;
  std::string section;
  std::string key;
  std::optional<std::string> expected;
};

TEST(FindIniValueTest, FindsValuesTheWayThePlatformReaderDoes) {
  const std::string basic = "[Edit]\nSpeed=15\n";
  // Two-byte characters: 0x83 0x5D holds ']' as its second byte; 0x83 0x41 and
  // 0x83 0x61 differ only by what would be ASCII case in a second byte.
  const std::string bracketTrail = "[\x83\x5D]\nK=1\n";
  const FindCase cases[] = {
      {"plain", basic, "Edit", "Speed", "15"},
      {"names ignore ASCII case", basic, "EDIT", "speed", "15"},
      {"caller's blanks ignored", basic, " Edit ", " Speed\t", "15"},
      {"blanks in the file ignored", "  [ Edit ]  \n\t Speed  =  15 \t\n", "Edit", "Speed", "15"},
      {"blanks inside the value kept", "[S]\nK= a  b \n", "S", "K", "a  b"},
      {"CR LF line ends", "[S]\r\nA=1\r\nK=2\r\n", "S", "K", "2"},
      {"last line without line end", "[S]\nK=7", "S", "K", "7"},
      {"last line ends in CR only", "[S]\r\nK=7\r", "S", "K", "7"},
      {"empty value", "[S]\nK=\n", "S", "K", ""},
      {"value holding '='", "[S]\nK=a=b\n", "S", "K", "a=b"},
      {"double quotes removed", "[S]\nK=\" a \"\n", "S", "K", " a "},
      {"single quotes removed", "[S]\nK='x'\n", "S", "K", "x"},
      {"mismatched quotes kept", "[S]\nK=\"x'\n", "S", "K", "\"x'"},
      {"a lone quote kept", "[S]\nK=\"\n", "S", "K", "\""},
      {"only one pair removed", "[S]\nK=\"\"x\"\"\n", "S", "K", "\"x\""},
      {"text after the bracket ignored", "[S] old\nK=1\n", "S", "K", "1"},
      {"first of two keys wins", "[S]\nK=1\nk=2\n", "S", "K", "1"},
      {"first of two sections wins", "[S]\nA=1\n[T]\n[s]\nA=2\nB=3\n", "S", "A", "1"},
      {"a later duplicate section is not searched", "[S]\nA=1\n[s]\nB=3\n", "S", "B", std::nullopt},
      {"missing key", basic, "Edit", "Other", std::nullopt},
      {"missing section", basic, "Other", "Speed", std::nullopt},
      {"key of another section", "[A]\nK=1\n[B]\nX=2\n", "B", "K", std::nullopt},
      {"key before any section", "K=1\n[S]\n", "S", "K", std::nullopt},
      {"commented key", "[S]\n;K=1\n  ; K=2\n", "S", "K", std::nullopt},
      {"commented section", ";[S]\nK=1\n", "S", "K", std::nullopt},
      {"line without '='", "[S]\nK\n", "S", "K", std::nullopt},
      {"unclosed bracket is no section", "[S\nK=1\n", "S", "K", std::nullopt},
      {"empty file", "", "S", "K", std::nullopt},
      {"']' as second byte", bracketTrail, "\x83\x5D", "K", "1"},
      {"second byte not case-folded", "[\x83\x41]\nK=1\n", "\x83\x61", "K", std::nullopt},
      {"second byte matches itself", "[\x83\x41]\nK=1\n", "\x83\x41", "k", "1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindIniValue(c.file, c.section, c.key), c.expected) << c.what;
  }
}

struct SetCase {
  const char* what;
  std::string file;
  std::string section;
  std::string key;
  std::string value;
  std::string expected;
};

TEST(SetIniValueTest, ChangesOnlyWhatItMust) {
  const SetCase cases[] = {
      {"empty file", "", "S", "K", "v", "[S]\nK=v\n"},
      {"new section after a blank line", "[A]\nX=1\n", "S", "K", "v", "[A]\nX=1\n\n[S]\nK=v\n"},
      {"existing blank line reused", "[A]\nX=1\n\n", "S", "K", "v", "[A]\nX=1\n\n[S]\nK=v\n"},
      {"file without final line end", "[A]\nX=1", "S", "K", "v", "[A]\nX=1\n\n[S]\nK=v\n"},
      {"CR LF file, new section", "[A]\r\nX=1\r\n", "S", "K", "v",
       "[A]\r\nX=1\r\n\r\n[S]\r\nK=v\r\n"},
      {"new key after the section's last line", "[S]\nA=1\n\n[T]\nB=2\n", "S", "K", "v",
       "[S]\nA=1\nK=v\n\n[T]\nB=2\n"},
      {"a trailing comment counts as content", "[S]\nA=1\n; note\n\n[T]\n", "S", "K", "v",
       "[S]\nA=1\n; note\nK=v\n\n[T]\n"},
      {"section holding only its header", "[S]\n\n[T]\n", "s", "K", "v", "[S]\nK=v\n\n[T]\n"},
      {"header at the end without line end", "[S]", "S", "K", "v", "[S]\nK=v\n"},
      {"CR LF file, new key", "[S]\r\nA=1\r\n\r\n[T]\r\n", "S", "K", "v",
       "[S]\r\nA=1\r\nK=v\r\n\r\n[T]\r\n"},
      {"first line decides the line end", "[S]\r\nA=1\nB=2\n", "S", "K", "v",
       "[S]\r\nA=1\nB=2\nK=v\r\n"},
      {"value replaced in place", "; top\n[S]\nA=1\nK=old\nB=2\n", "S", "K", "new",
       "; top\n[S]\nA=1\nK=new\nB=2\n"},
      {"spelling and blanks before the value kept", "[S]\n  key = old  \n", "S", "KEY", "7",
       "[S]\n  key = 7\n"},
      {"line end of the replaced line kept", "[S]\r\nK=1\r\n", "S", "K", "22", "[S]\r\nK=22\r\n"},
      {"replaced on the last line without line end", "[S]\nK=1", "S", "K", "2", "[S]\nK=2"},
      {"empty value replaces", "[S]\nK=1\n", "S", "K", "", "[S]\nK=\n"},
      {"first duplicate key replaced", "[S]\nK=1\nK=2\n", "S", "K", "3", "[S]\nK=3\nK=2\n"},
      {"first duplicate section used", "[S]\nA=1\n[S]\nK=2\n", "S", "K", "3",
       "[S]\nA=1\nK=3\n[S]\nK=2\n"},
      {"caller's blanks trimmed", "", " S ", " K ", "v", "[S]\nK=v\n"},
      // A last line ending in a bare CR is completed, never glued onto.
      {"new key after a bare CR", "[S]\r\nA=1\r", "S", "K", "v", "[S]\r\nA=1\r\nK=v\r\n"},
      {"new key after a bare CR, LF file", "[S]\nA=1\r", "S", "K", "v", "[S]\nA=1\r\nK=v\n"},
      {"new section after a bare CR", "[A]\nX=1\r", "S", "K", "v", "[A]\nX=1\r\n\n[S]\nK=v\n"},
      {"new key after a header ending in a bare CR", "[S]\r", "S", "K", "v", "[S]\r\nK=v\n"},
      {"CR LF file, the bare CR completed", "[S]\r\nA=1 \r", "S", "K", "v",
       "[S]\r\nA=1 \r\nK=v\r\n"},
  };
  for (const auto& c : cases) {
    const std::string written = SetIniValue(c.file, c.section, c.key, c.value);
    EXPECT_EQ(written, c.expected) << c.what;
    EXPECT_EQ(FindIniValue(written, c.section, c.key), c.value) << c.what;
  }
}

TEST(SetIniValueTest, WrittenValuesReadBack) {
  std::string file = "; KZMotion\n[Edit]\nSpeed=1\n";
  file = SetIniValue(file, "Edit", "Speed", "20");
  file = SetIniValue(file, "Edit", "Name", "\x83\x7C\x81\x5B\x83\x59");
  file = SetIniValue(file, "\x83\x5D", "K", "x");
  file = SetIniValue(file, "Port", "Number", "3");
  EXPECT_EQ(FindIniValue(file, "edit", "speed"), "20");
  EXPECT_EQ(FindIniValue(file, "Edit", "Name"), "\x83\x7C\x81\x5B\x83\x59");
  EXPECT_EQ(FindIniValue(file, "\x83\x5D", "K"), "x");
  EXPECT_EQ(FindIniValue(file, "Port", "Number"), "3");
}

TEST(IsWritableIniEntryTest, RefusesWhatWouldBreakTheLines) {
  struct Case {
    const char* what;
    std::string section, key, value;
    bool expected;
  };
  const Case cases[] = {
      {"ordinary", "S", "K", "v", true},
      {"empty value", "S", "K", "", true},
      {"value with '=' and quotes", "S", "K", "a=\"b\"", true},
      {"two-byte section with ']' as second byte", "\x83\x5D", "K", "v", true},
      {"LF in the value", "S", "K", "1\n[Evil]", false},
      {"CR in the value", "S", "K", "1\rX=2", false},
      {"NUL in the value", "S", "K", std::string("a\0b", 3), false},
      {"LF in the key", "S", "K\nX", "v", false},
      {"LF in the section", "S\nX=1", "K", "v", false},
      {"']' in the section", "S]X", "K", "v", false},
      {"'=' in the key", "S", "K=X", "v", false},
      {"blank key", "S", "  ", "v", false},
      {"key like a comment", "S", ";K", "v", false},
      {"key like a section", "S", "[T]", "v", false},
      // Half a two-byte character at the end would swallow the byte after it.
      {"value ending in a lead byte", "S", "K", "\x83\x7C\x81", false},
      {"value ending in a lead byte and a blank", "S", "K", "\x83 ", false},
      {"key ending in a lead byte", "S", "K\x83", "v", false},
      {"section ending in a lead byte", "S\x83", "K", "v", false},
      {"whole two-byte characters", "\x83\x5D", "\x83\x7C", "\x81\x5B", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsWritableIniEntry(c.section, c.key, c.value), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace kz
