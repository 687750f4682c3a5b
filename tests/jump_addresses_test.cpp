// The jump address tools: loop repair, program to text with block names,
// and text back to program; first on bytes, then the commands on real files.
#include "tools/jump_addresses.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <set>

#include "commands/jump_commands.h"
#include "fakes/editor_fixture.h"
#include "fakes/scoped_env.h"
#include "formats/program_text.h"
#include "formats/program_writer.h"
#include "tools/block_table.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using namespace std::string_literals;

constexpr std::string_view kFinalLine = "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";

std::string Block(std::string_view name, std::string_view type = "2") {
  return "<medit>\r\n\t<block name=\"" + std::string(name) + "\" type=\"" + std::string(type) +
         "\"/>\r\n</medit>\r\n";
}

std::string Jump(std::string_view value) {
  return "<jump adr=\"" + std::string(value) + "\"/>\r\n";
}

// The block that a conversion to text puts before the final line.
std::string EndBlock() { return Block(SystemText("プログラム終了"), "5"); }

// `program` with the end block inserted before its final line.
std::string WithEndBlock(const std::string& program) {
  const std::size_t end = program.size() - kFinalLine.size();
  return program.substr(0, end) + EndBlock() + program.substr(end);
}

std::string Header() {
  std::string out;
  AppendHeader(out);
  return out;
}

// The jump values of a text, in file order.
std::vector<std::string> JumpValues(const std::string& text) {
  std::vector<std::string> values;
  for (std::size_t at = text.find("<jump adr=\""); at != std::string::npos;
       at = text.find("<jump adr=\"", at + 1)) {
    const std::size_t start = at + 11;
    values.push_back(text.substr(start, text.find('"', start) - start));
  }
  return values;
}

std::vector<std::string> BlockNames(const std::string& text) {
  std::vector<std::string> names;
  for (std::size_t at = text.find("<block name=\""); at != std::string::npos;
       at = text.find("<block name=\"", at + 1)) {
    const std::size_t start = at + 13;
    names.push_back(text.substr(start, text.find('"', start) - start));
  }
  return names;
}

class JumpAddressesTest : public EditorFixture {
 protected:
  // A program as the writer makes it from `poses` poses. Without hold times
  // and end wait every block name is unique (one WAIT, at the start).
  std::string WrittenProgram(int poses, const ProgramOptions& options, bool holdTimes = false) {
    StartWithPoses(poses);
    document->standardValues = StandardValues{};
    document->motion.endWait = 0;
    if (!holdTimes)
      for (Pose& pose : document->motion.poses) pose.holdTime = 0;
    const auto program = BuildProgramText(*document, options);
    EXPECT_TRUE(program.has_value());
    return program.value_or("");
  }

  std::string LoopedProgram() {
    ProgramOptions options;
    options.loopCount = 3;
    return WrittenProgram(2, options);
  }

  std::vector<std::string> ArgsOf(int id) const {
    for (const auto& entry : ui.shown)
      if (entry.id == id) return entry.args;
    return {"<not shown>"};
  }

  ScriptedUi& prompts = ui;
};

using Repair = LoopRepairResult::Outcome;
using ToNames = JumpsToNamesResult::Outcome;
using ToJumps = NamesToJumpsResult::Outcome;

// For texts whose values all are names: a question would be a fault.
HexJumpAnswer NeverAsked(std::string_view value) {
  ADD_FAILURE() << "asked about " << value;
  return HexJumpAnswer::kCancel;
}

// The text converted to names and the program made from it again, both
// expected to succeed.
std::string ThereAndBack(const std::string& program, std::string* text = nullptr) {
  const JumpsToNamesResult named = JumpsToBlockNames(program);
  EXPECT_EQ(named.outcome, ToNames::kConverted);
  if (text) *text = named.text;
  const NamesToJumpsResult back = BlockNamesToJumps(named.text, NeverAsked);
  EXPECT_EQ(back.outcome, ToJumps::kConverted);
  EXPECT_EQ(back.jumps, named.jumps);
  return back.program;
}

// --- Loop repair, on bytes -----------------------------------------------

TEST_F(JumpAddressesTest, RepairKeepsAnUneditedLoopAndFollowsAnInsertedLine) {
  const std::string program = LoopedProgram();
  std::string repaired = program;
  LoopRepairResult result = RepairLoopJumps(repaired);
  EXPECT_EQ(result.outcome, Repair::kAlreadyRight) << "nothing changed: it says so";
  EXPECT_EQ(result.changed, 0u);
  EXPECT_EQ(repaired, program);

  // A line inserted before the count-down block moves it; only the jump
  // back to it changes.
  const std::string line = "<wait data=\"5\"/>\r\n";
  const std::size_t countDown = program.find("KZMOTION COUNT DOWN") - 23;
  ASSERT_THAT(JumpValues(program), ElementsAre(JumpTarget(static_cast<std::uint32_t>(countDown))));
  std::string edited = program;
  edited.insert(Header().size(), line);
  std::string expected = edited;
  const std::size_t value = expected.find("<jump adr=\"") + 11;
  expected.replace(value, 10, JumpTarget(static_cast<std::uint32_t>(countDown + line.size())));
  result = RepairLoopJumps(edited);
  EXPECT_EQ(result.outcome, Repair::kRepaired);
  EXPECT_EQ(result.changed, 1u);
  EXPECT_EQ(edited, expected);

  // Of two loops only the second one's jump is wrong: one jump is reported.
  std::string twice = program + program;
  result = RepairLoopJumps(twice);
  EXPECT_EQ(result.outcome, Repair::kRepaired);
  EXPECT_EQ(result.changed, 1u);
  EXPECT_THAT(JumpValues(twice),
              ElementsAre(JumpTarget(static_cast<std::uint32_t>(countDown)),
                          JumpTarget(static_cast<std::uint32_t>(program.size() + countDown))));
}

// --- Program to text and back, on bytes ----------------------------------

TEST_F(JumpAddressesTest, ProgramToTextAndBackAddsOnlyTheEndBlock) {
  ProgramOptions looped;
  looped.loopCount = 2;
  ProgramOptions perPosture;
  perPosture.perPosture = true;
  const struct {
    const char* what;
    ProgramOptions options;
    bool synchronised;
    std::vector<std::string> named;  // the jumps' names in the text, in order
  } cases[] = {
      {"loop and synchronised start",
       looped,
       true,
       {SystemText("ポーズ2"), SystemText("CHECK SYNCHRO ポーズ2"), "KZMOTION COUNT DOWN"}},
      {"posture dispatch",
       perPosture,
       false,
       {"GROUND POSE MOTION", "CHAIR POSE MOTION", "KAZO POSE END", "KAZO POSE END"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StartWithPoses(2);
    document->standardValues = StandardValues{};
    document->motion.endWait = 0;
    for (Pose& pose : document->motion.poses) pose.holdTime = 0;
    if (c.synchronised) {
      document->motion.poses[1].flags |= kStartSynchronised;
      document->motion.poses[1].startTime = 30;
    }
    const std::string program = BuildProgramText(*document, c.options).value_or("");
    const JumpsToNamesResult named = JumpsToBlockNames(program);
    ASSERT_EQ(named.outcome, ToNames::kConverted);
    EXPECT_EQ(named.jumps, c.named.size());
    EXPECT_THAT(JumpValues(named.text), ElementsAreArray(c.named));
    EXPECT_EQ(BlockNames(named.text).back(), SystemText("プログラム終了"));

    const NamesToJumpsResult back = BlockNamesToJumps(named.text, NeverAsked);
    ASSERT_EQ(back.outcome, ToJumps::kConverted);
    EXPECT_EQ(back.program, WithEndBlock(program));
    EXPECT_EQ(back.jumps, c.named.size());
  }
}

TEST_F(JumpAddressesTest, AJumpToTheProgramEndTargetsTheEndBlock) {
  // The end block takes the final line's place in the converted program.
  const auto end = static_cast<std::uint32_t>(Block("A").size() + Jump(JumpTarget(1)).size());
  const std::string program = Block("A") + Jump(JumpTarget(end)) + std::string(kFinalLine);
  std::string text;
  EXPECT_EQ(ThereAndBack(program, &text), WithEndBlock(program));
  EXPECT_EQ(text,
            Block("A") + Jump(SystemText("プログラム終了")) + EndBlock() + std::string(kFinalLine));
}

TEST_F(JumpAddressesTest, AProgramShorterThan38BytesEndsAtItsLength) {
  // No final line: the end lies at the program's length (0x1a), where this
  // jump aims.
  const JumpsToNamesResult shortOne = JumpsToBlockNames(Jump("0x0000001a"));
  EXPECT_EQ(shortOne.outcome, ToNames::kConverted);
  EXPECT_EQ(shortOne.text, Jump(SystemText("プログラム終了")) + EndBlock());

  // Only the final line: found from the first byte.
  const JumpsToNamesResult wait = JumpsToBlockNames(std::string(kFinalLine));
  EXPECT_EQ(wait.outcome, ToNames::kNoJumps);
  EXPECT_EQ(wait.text, kFinalLine) << "no jump: a plain copy";
}

TEST_F(JumpAddressesTest, DuplicateBlockNamesAreMadeUniqueInTheText) {
  const struct {
    std::string name;
    std::string secondBlock;  // as the text carries it
    std::string jumpName;
  } cases[] = {
      {"A", Block("B"), "B"},
      {"POSE9", Block("POSEA"), "POSEA"},
      {"z", Block("1"), "1"},
      // A quote would end the name early: "!" steps over it.
      {"GO!", Block("GO#"), "GO#"},
      // An empty name becomes "0", then "1"; its closing quote moves over
      // the blank after it, so the text keeps its length.
      {"", "<medit>\r\n\t<block name=\"1\"type=\"2\"/>\r\n</medit>\r\n", "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string first = Block(c.name);
    const auto second = static_cast<std::uint32_t>(Header().size() + first.size());
    const std::string program =
        Header() + first + Block(c.name) + Jump(JumpTarget(second)) + std::string(kFinalLine);
    std::string text;
    const std::string back = ThereAndBack(program, &text);
    EXPECT_EQ(text, WithEndBlock(Header() + first + c.secondBlock + Jump(c.jumpName) +
                                 std::string(kFinalLine)));
    EXPECT_THAT(JumpValues(back), ElementsAre(JumpTarget(second)));
  }
}

TEST(CollectBlocksTest, ARenamedEmptyNameAtTheVeryEndKeepsTheTextsLength) {
  // The second empty name must be renamed, but its closing quote is the
  // text's last byte (or missing): there is nothing after it to move over.
  const std::string first = "<medit>\r\n\t<block name=\"\" type=\"0\"/>\r\n</medit>\r\n";
  for (const std::string tail : {"\"", ""}) {
    SCOPED_TRACE(tail);
    std::string program = first + "<medit>\r\n\t<block name=\"" + tail;
    const std::string before = program;
    BlockTable table;
    CollectBlocks(program, table);
    EXPECT_EQ(program.size(), before.size());
    EXPECT_EQ(program.substr(0, first.size()), first);
    ASSERT_EQ(table.entries().size(), 3u);
    EXPECT_EQ(table.entries()[2].name, "1");
  }
}

TEST_F(JumpAddressesTest, AWaitAfterEveryOfManyPosesStillGetsAUniqueName) {
  // More WAIT blocks than the last byte alone can tell apart.
  ProgramOptions options;
  options.loopCount = 2;
  const std::string program = WrittenProgram(100, options, true);
  std::string text;
  const std::string back = ThereAndBack(program, &text);
  const std::vector<std::string> names = BlockNames(text);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  std::vector<std::string> waits;
  std::copy_if(names.begin(), names.end(), std::back_inserter(waits),
               [](const std::string& name) { return name.starts_with("WA"); });
  ASSERT_EQ(waits.size(), 101u) << "the start wait and one per pose";
  EXPECT_EQ(waits[1], "WAIU");
  EXPECT_EQ(waits[66], "WAIS") << "the last byte has taken its 67 values";
  EXPECT_EQ(waits[67], "WAJT") << "then the byte before it takes a step";

  EXPECT_EQ(back.size(), program.size() + EndBlock().size());
  EXPECT_EQ(JumpValues(back), JumpValues(program));
}

TEST(JumpsToBlockNamesTest, WhatIsNoProgramTextIsRefused) {
  for (const std::string& bytes : {"plain words"s, "<jump adr=\"A\0\"/>"s}) {
    SCOPED_TRACE(bytes);
    const JumpsToNamesResult result = JumpsToBlockNames(bytes);
    EXPECT_EQ(result.outcome, ToNames::kNotProgramText);
    EXPECT_EQ(result.text, "");
  }
}

// 2 MiB of block heads on one line, none of them closed: every such name runs
// on to the end of the text and matches no jump, and the one whose name is
// the text's last bytes is still found.
TEST_F(JumpAddressesTest, ThousandsOfOpenBlockHeadsOnOneLine) {
  std::string heads;
  while (heads.size() < (2u << 20)) heads += "<medit>\t<block name=_";
  const std::string text =
      Header() + Block("A") + Jump("A") + Jump("B") + heads + "<medit>\r\n\t<block name=\"B";
  const NamesToJumpsResult result = BlockNamesToJumps(text, NeverAsked);
  ASSERT_EQ(result.outcome, ToJumps::kConverted);
  EXPECT_EQ(result.jumps, 2u);
  // Both names grow into ten-byte addresses: the last header moves by 18.
  const std::string lastBlock = "<medit>\r\n\t<block name=\"B";
  const std::size_t lastHeader = text.size() - lastBlock.size() + 18;
  const std::string expected = Header() + Block("A") + Jump("0x00000078") +
                               Jump(JumpTarget(static_cast<std::uint32_t>(lastHeader))) + heads +
                               lastBlock;
  EXPECT_TRUE(result.program == expected) << "(2 MiB not shown)";
}

// --- The commands, on files ----------------------------------------------

TEST_F(JumpAddressesTest, TheRepairCommandPatchesTheFileInPlaceAndSaysWhatChanged) {
  const std::string program = LoopedProgram();
  const std::string path = folder.Write("walk.KM4", program);
  EXPECT_TRUE(RepairLoopCounterJumps(path, prompts));
  EXPECT_EQ(folder.Read("walk.KM4"), program);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgJumpsAlreadyRight));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kInformation);
  ui.shown.clear();

  // A blank line in front moves the count-down block; a second name of the
  // file sees the repair, since the file itself is patched.
  std::string moved = "\r\n" + program;
  folder.Write("walk.KM4", moved);
  std::filesystem::create_hard_link(path, folder.Path("link.KM4"));
  ASSERT_EQ(RepairLoopJumps(moved).outcome, Repair::kRepaired);
  EXPECT_TRUE(RepairLoopCounterJumps(path, prompts));
  EXPECT_EQ(folder.Read("walk.KM4"), moved);
  EXPECT_EQ(folder.Read("link.KM4"), moved);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgJumpsRewritten));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kInformation);
  EXPECT_THAT(ui.shown[0].args, ElementsAre("1"));
}

TEST_F(JumpAddressesTest, RepairRefusesWhatItCannotMatchAndWritesNothing) {
  const std::string loop = LoopedProgram();
  std::string shiftedName = loop;
  shiftedName.replace(shiftedName.find("\t<block name=\"KZMOTION COUNT DOWN"), 1, "\t ");
  std::string badValue = loop;
  badValue.replace(badValue.find("<jump adr=\"0x0") + 13, 1, "1");
  const std::string countDown = Block("KZMOTION COUNT DOWN");
  const std::string check = Block("KZMOTION CHECK COUNTER", "1");
  const struct {
    const char* what;
    std::string program;
    int message;
  } cases[] = {
      {"no loop", WrittenProgram(2, ProgramOptions{}), kMsgNoJumpAddress},
      {"count-down name not 23 bytes behind its <medit>", shiftedName, kMsgProgramWrong},
      {"count-down name at the very start", "KZMOTION COUNT DOWN", kMsgProgramWrong},
      {"no check counter", countDown + std::string(kFinalLine), kMsgProgramWrong},
      {"check counter without a jump", countDown + check + std::string(kFinalLine),
       kMsgProgramWrong},
      {"jump value not 0x0...", badValue, kMsgProgramWrong},
      {"jump value cut short by the end of the file", countDown + check + "<jump adr=\"0x0",
       kMsgProgramWrong},
      {"empty file", "", kMsgProgramReadFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.message != kMsgProgramReadFailed) {
      std::string bytes = c.program;
      EXPECT_EQ(RepairLoopJumps(bytes).outcome,
                c.message == kMsgNoJumpAddress ? Repair::kNoLoop : Repair::kWrong);
    }
    ui.shown.clear();
    const std::string path = folder.Write("edited.KM4", c.program);
    EXPECT_FALSE(RepairLoopCounterJumps(path, prompts));
    EXPECT_THAT(ui.shownIds(), ElementsAre(c.message));
    EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
    EXPECT_EQ(folder.Read("edited.KM4"), c.program);
  }
  ui.shown.clear();
  EXPECT_FALSE(RepairLoopCounterJumps(folder.Path("missing.KM4"), prompts));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramReadFailed));
}

TEST_F(JumpAddressesTest, TheConversionCommandsWriteBesideTheirFileAndSayWhatTheyDid) {
  ProgramOptions looped;
  looped.loopCount = 2;
  const std::string program = WrittenProgram(2, looped);
  folder.Write("loop.KM4", program);
  ASSERT_TRUE(ConvertJumpsToBlockNames(folder.Path("loop.KM4"), prompts));
  EXPECT_EQ(folder.Read("loop.TXT"), JumpsToBlockNames(program).text);
  ui.answers = {Button::kYes};  // the program exists
  ASSERT_TRUE(ConvertBlockNamesToJumps(folder.Path("loop.TXT"), prompts));
  EXPECT_EQ(folder.Read("loop.KM4"), WithEndBlock(program));
  EXPECT_THAT(ui.shownIds(),
              ElementsAre(kMsgJumpsRewritten, kMsgProgramExists, kMsgJumpsRewritten));
  for (const int i : {0, 2}) {
    EXPECT_EQ(ui.shown[static_cast<std::size_t>(i)].kind, BoxKind::kInformation);
    EXPECT_THAT(ui.shown[static_cast<std::size_t>(i)].args, ElementsAre("1"));
  }

  ui.shown.clear();
  folder.Write("wait.KM4", std::string(kFinalLine));
  EXPECT_TRUE(ConvertJumpsToBlockNames(folder.Path("wait.KM4"), prompts));
  EXPECT_EQ(folder.Read("wait.TXT"), kFinalLine) << "no jump: a plain copy";
  const std::string data = folder.Write("data.KM4", "plain words");
  EXPECT_FALSE(ConvertJumpsToBlockNames(data, prompts));
  EXPECT_EQ(folder.Read("data.TXT"), "<missing>");
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgNoBinaryJump, kMsgNotAProgramText));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
  EXPECT_EQ(ui.shown[1].kind, BoxKind::kExclamation);
  EXPECT_THAT(ui.shown[1].args, ElementsAre(data));
}

TEST_F(JumpAddressesTest, ProgramToTextFailuresLeaveAnEarlierTextAsItWas) {
  const std::string body = Header() + Block("A");  // block A at 0x78
  const struct {
    const char* what;
    std::string program;
    int message;
    std::string argument;
  } cases[] = {
      {"upper-case digits", body + Jump("0x000000A8") + std::string(kFinalLine),
       kMsgJumpTargetWrong, "0x000000A8"},
      {"value cut short", body + "<jump adr=\"0x0000", kMsgJumpTargetWrong, "0x0000"},
      {"no block there", body + Jump("0x00000079") + Jump("0x00000078") + Jump("0x00000005"),
       kMsgJumpBlockNotFound, "0x00000079"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui.shown.clear();
    folder.Write("bad.KM4", c.program);
    folder.Write("bad.TXT", "earlier text");
    ui.answers = {Button::kYes};
    EXPECT_FALSE(ConvertJumpsToBlockNames(folder.Path("bad.KM4"), prompts));
    EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgTextExists, c.message));
    EXPECT_EQ(ui.shown[1].kind, BoxKind::kError);
    EXPECT_THAT(ui.shown[1].args, ElementsAre(c.argument));
    EXPECT_EQ(folder.Read("bad.TXT"), "earlier text");
  }

  ui.shown.clear();
  folder.Write("good.KM4", body + Jump("0x00000078") + std::string(kFinalLine));
  folder.Write("good.TXT", "kept");
  ui.answers = {Button::kNo};
  EXPECT_FALSE(ConvertJumpsToBlockNames(folder.Path("good.KM4"), prompts));
  EXPECT_EQ(folder.Read("good.TXT"), "kept");
  folder.Write("empty.KM4", "");
  EXPECT_FALSE(ConvertJumpsToBlockNames(folder.Path("empty.KM4"), prompts));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgTextExists, kMsgProgramReadFailed));
  EXPECT_EQ(folder.Read("empty.TXT"), "<missing>");
}

TEST_F(JumpAddressesTest, OutputsTakeTheExtensionOfTheirFileNameOnly) {
  const std::string program = Header() + Block("A") + Jump("0x00000078") + std::string(kFinalLine);
  const std::string text = Header() + Block("A") + Jump("A") + std::string(kFinalLine);
  std::filesystem::create_directory(folder.Path("my.motions"));
  const struct {
    bool toText;
    const char* input;
    const char* output;
  } cases[] = {
      {true, "walk", "walk.TXT"},
      {true, "my.motions/walk", "my.motions/walk.TXT"},
      {true, "my.motions/walk.km4", "my.motions/walk.TXT"},
      {false, "notes", "notes.KM4"},
      {false, "my.motions/notes", "my.motions/notes.KM4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const std::string path = folder.Write(c.input, c.toText ? program : text);
    ui.answers = {Button::kYes};
    EXPECT_TRUE(c.toText ? ConvertJumpsToBlockNames(path, prompts)
                         : ConvertBlockNamesToJumps(path, prompts));
    EXPECT_EQ(folder.Read(c.output), c.toText ? WithEndBlock(text) : program);
  }
}

TEST_F(JumpAddressesTest, ATextWith1024NamedJumpsConvertsAndOneMoreIsRefused) {
  const std::string body = Header() + Block("A");  // block A at 0x78
  std::string jumps;
  std::string addresses;
  for (int i = 0; i < 1024; ++i) {
    jumps += Jump("A");
    addresses += Jump("0x00000078");
  }
  folder.Write("full.TXT", body + jumps + std::string(kFinalLine));
  ASSERT_TRUE(ConvertBlockNamesToJumps(folder.Path("full.TXT"), prompts));
  EXPECT_EQ(folder.Read("full.KM4"), body + addresses + std::string(kFinalLine));
  EXPECT_THAT(ArgsOf(kMsgJumpsRewritten), ElementsAre("1024"));

  ui.shown.clear();
  folder.Write("over.TXT", body + jumps + Jump("A") + std::string(kFinalLine));
  EXPECT_FALSE(ConvertBlockNamesToJumps(folder.Path("over.TXT"), prompts));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgTooManyJumps, kMsgJumpsAndBlocksWrong));
  EXPECT_EQ(ui.shown[1].kind, BoxKind::kError);
  EXPECT_EQ(folder.Read("over.KM4"), "<missing>");
}

TEST_F(JumpAddressesTest, TheThreeAnswersToAHexadecimalJump) {
  // Block A at 0x78; two jumps still hexadecimal around a named one.
  const std::string body = Header() + Block("A");
  const std::string text = body + Jump("0x00000078") + Jump("A") + Jump("0x00000078");
  const struct {
    const char* what;
    std::vector<Button> answers;
    std::vector<int> shown;
    std::string program;  // "<missing>" when nothing is written
  } cases[] = {
      {"No keeps each as it is and asks again",
       {Button::kNo, Button::kNo},
       {kMsgJumpStillHexadecimal, kMsgJumpStillHexadecimal, kMsgJumpsRewritten},
       body + Jump("0x00000078") + Jump("0x00000078") + Jump("0x00000078")},
      {"Yes takes it and all later values as names",
       {Button::kYes},
       {kMsgJumpStillHexadecimal, kMsgBlockNameNotFound, kMsgJumpsAndBlocksWrong},
       "<missing>"},
      {"Cancel ends the run",
       {Button::kCancel},
       {kMsgJumpStillHexadecimal, kMsgJumpsAndBlocksWrong},
       "<missing>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui.shown.clear();
    std::filesystem::remove(folder.Path("hex.KM4"));
    folder.Write("hex.TXT", text);
    ui.answers.assign(c.answers.begin(), c.answers.end());
    EXPECT_EQ(ConvertBlockNamesToJumps(folder.Path("hex.TXT"), prompts), c.program != "<missing>");
    EXPECT_EQ(ui.shownIds(), c.shown);
    EXPECT_EQ(ui.shown[0].kind, BoxKind::kYesNoCancelExclamation);
    EXPECT_THAT(ui.shown[0].args, ElementsAre("0x00000078"));
    EXPECT_EQ(folder.Read("hex.KM4"), c.program);
  }
}

TEST_F(JumpAddressesTest, NamesThatDoNotMatchExactlyOneSoundBlockWriteNothing) {
  const std::string a = Header() + Block("A");
  const std::string end(kFinalLine);
  // A <block name= line whose <medit> lies more than 16 bytes before it.
  const std::string broken =
      "<medit>\r\n\r\n\r\n\r\n\r\n\r\n\r\n\t<block name=\"B\"/>\r\n</medit>\r\n";
  const struct {
    const char* what;
    std::string text;
    std::vector<int> shown;
    std::string argument;  // of the first message
  } cases[] = {
      {"defined twice",
       a + Block("A") + Jump("A") + end,
       {kMsgDuplicateBlockName, kMsgJumpsAndBlocksWrong},
       "A"},
      {"defined nowhere",
       a + Jump("B") + end,
       {kMsgBlockNameNotFound, kMsgJumpsAndBlocksWrong},
       "B"},
      {"a broken header after the name",
       a + broken + Jump("A") + end,
       {kMsgJumpsAndBlocksWrong},
       ""},
      {"the name only behind a broken header",
       a + broken + Block("C") + Jump("C") + end,
       {kMsgBlockNameNotFound, kMsgJumpsAndBlocksWrong},
       "C"},
      {"the second definition behind a broken header",
       a + broken + Block("A") + Jump("A") + end,
       {kMsgJumpsAndBlocksWrong},
       ""},
      {"no closing quote", a + "<jump adr=\"A", {kMsgJumpsAndBlocksWrong}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui.shown.clear();
    folder.Write("wrong.TXT", c.text);
    EXPECT_FALSE(ConvertBlockNamesToJumps(folder.Path("wrong.TXT"), prompts));
    EXPECT_EQ(ui.shownIds(), c.shown);
    for (const auto& entry : ui.shown) EXPECT_EQ(entry.kind, BoxKind::kError);
    if (!c.argument.empty()) {
      EXPECT_THAT(ui.shown[0].args, ElementsAre(c.argument));
    }
    EXPECT_EQ(folder.Read("wrong.KM4"), "<missing>");
  }
}

TEST_F(JumpAddressesTest, TextToProgramAsksBeforeReplacingAndReportsWhatFails) {
  const std::string text = Header() + Block("A") + Jump("A") + std::string(kFinalLine);
  folder.Write("walk.TXT", text);
  folder.Write("walk.KM4", "earlier program");
  ui.answers = {Button::kNo};
  EXPECT_FALSE(ConvertBlockNamesToJumps(folder.Path("walk.TXT"), prompts));
  EXPECT_EQ(folder.Read("walk.KM4"), "earlier program");
  ui.answers = {Button::kYes};
  EXPECT_TRUE(ConvertBlockNamesToJumps(folder.Path("walk.TXT"), prompts));
  EXPECT_EQ(folder.Read("walk.KM4"),
            Header() + Block("A") + Jump("0x00000078") + std::string(kFinalLine));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgProgramExists, kMsgProgramExists, kMsgJumpsRewritten));

  ui.shown.clear();
  folder.Write("plain.TXT", Header() + Block("A") + std::string(kFinalLine));
  EXPECT_FALSE(ConvertBlockNamesToJumps(folder.Path("plain.TXT"), prompts));
  folder.Write("empty.TXT", "");
  EXPECT_FALSE(ConvertBlockNamesToJumps(folder.Path("empty.TXT"), prompts));
  EXPECT_FALSE(ConvertBlockNamesToJumps(folder.Path("missing.TXT"), prompts));
  // The program's place is taken by a folder: the write fails.
  folder.Write("blocked.TXT", text);
  std::filesystem::create_directory(folder.Path("blocked.KM4"));
  EXPECT_FALSE(ConvertBlockNamesToJumps(folder.Path("blocked.TXT"), prompts));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgNoJumpAddress, kMsgTextReadFailed, kMsgTextReadFailed,
                                         kMsgProgramWriteFailed));
  EXPECT_EQ(ui.shown.back().kind, BoxKind::kError);
}

// --- The main window's command -------------------------------------------

TEST_F(JumpAddressesTest, TheDialogStartsFromTheLastPath) {
  const ScopedEnv home("HOME", folder.Path("home"));
  const std::string kProgramsFirst = "プログラム(KM4)|*.KM4|テキスト|*.txt||";
  const std::string kTextsFirst = "テキスト|*.txt|プログラム(KM4)|*.KM4||";
  const struct {
    const char* what;
    std::string ini;  // the last path
    std::string extension;
    std::string filter;
    std::string initialName;
  } cases[] = {
      {"none yet: a new motion starts at home", "", "KM4", kProgramsFirst,
       folder.Path("home") + "/"},
      {"a text", "/d/walk.txt", "TXT", kTextsFirst, "/d/walk"},
      {"a program", "/d/walk.KM4", "KM4", kProgramsFirst, "/d/walk"},
      {"one byte", "T", "KM4", kProgramsFirst, "T"},
      {"a dotted folder", "/d/x.y/walk", "KM4", kProgramsFirst, "/d/x.y/walk"},
      // The last byte is "t", but it belongs to the two-byte "フ".
      {"a two-byte last character", SystemText("/d/フ"), "KM4", kProgramsFirst,
       SystemText("/d/フ")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSettings(c.ini.empty() ? "" : "[POSE]\nPATH=" + c.ini + "\n");
    Start();
    ui.fileRequests.clear();
    ui.fileAnswers = {std::nullopt};
    document->jumpsToBlockNames = 1;
    AdjustJumpAddresses(*document, editor);
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    const FileDialogRequest& request = ui.fileRequests[0];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.defaultExtension, c.extension);
    EXPECT_EQ(request.filter, SystemText(c.filter));
    EXPECT_EQ(request.initialName, c.initialName);
    EXPECT_EQ(request.optionText,
              SystemText("プログラムのジャンプ先をブロック名に変換する(テキストファイルに出力)"));
    EXPECT_TRUE(request.optionChecked);
    EXPECT_EQ(document->jumpsToBlockNames, 1) << "Cancel keeps the option";
    EXPECT_TRUE(ui.shown.empty());
  }
  EXPECT_EQ(folder.Read("KZMotion.ini"), "[POSE]\nPATH=" + SystemText("/d/フ") + "\n")
      << "a cancelled choice is not remembered";
}

TEST_F(JumpAddressesTest, TheFileAndTheOptionChooseTheOperation) {
  const std::string program = LoopedProgram();
  folder.Write("walk.km4", program);
  const auto run = [&](const std::string& name, bool option) {
    ui.shown.clear();
    ui.fileAnswers = {FileDialogAnswer{folder.Path(name), option}};
    AdjustJumpAddresses(*document, editor);
  };

  run("walk.km4", true);
  EXPECT_EQ(document->jumpsToBlockNames, 1);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgJumpsRewritten));
  EXPECT_NE(folder.Read("walk.TXT"), "<missing>") << "converted to a text";
  EXPECT_EQ(document->settings().ReadText("POSE", "PATH", "", 260), folder.Path("walk.km4"));

  run("walk.TXT", true);
  EXPECT_TRUE(ui.fileRequests.back().optionChecked) << "the option is kept for the next run";
  EXPECT_EQ(ui.fileRequests.back().defaultExtension, "KM4");
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgJumpsRewritten));
  EXPECT_EQ(folder.Read("walk.KM4"), WithEndBlock(program)) << "converted back, beside the text";

  run("walk.km4", false);
  EXPECT_EQ(document->jumpsToBlockNames, 0);
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgJumpsAlreadyRight)) << "the loop repair ran";
  EXPECT_EQ(folder.Read("walk.km4"), program);
  EXPECT_EQ(ui.fileRequests.back().defaultExtension, "TXT") << "the last path was the text";
}

}  // namespace
}  // namespace kz::testing
