// Standard servo values from STARTUP.XML and STARTUP.BIN.
#include "model/standard_values.h"

#include <gmock/gmock.h>

#include "fakes/editor_fixture.h"
#include "model/settings.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::size_t kTextOffsets[kServoCount] = {1227, 1566, 1905, 2244, 2583, 2922, 3261,
                                                   3600, 3941, 4284, 4627, 4970, 5313, 5656,
                                                   5999, 6342, 6685, 7028, 7371, 7714};

// A setup text with `digits[k]` after "0x" at value k's offset; the rest filler.
std::string SetupText(const std::array<std::string, kServoCount>& digits) {
  std::string text(7720, '.');
  for (std::size_t k = 0; k < kServoCount; ++k) text.replace(kTextOffsets[k], 6, "0x" + digits[k]);
  return text;
}

std::string SetupText(const std::string& allDigits) {
  std::array<std::string, kServoCount> digits;
  digits.fill(allDigits);
  return SetupText(digits);
}

// A binary image with value k at offset 276 + 70k, little-endian.
std::string SetupImage(const StandardValues& values, std::size_t size = 1608) {
  std::string image(size, '\xEE');
  for (std::size_t k = 0; k < kServoCount; ++k) {
    image[276 + 70 * k] = static_cast<char>(values[k] & 0xFF);
    image[277 + 70 * k] = static_cast<char>((values[k] >> 8) & 0xFF);
  }
  return image;
}

StandardValues Ramp() {
  StandardValues values{};
  for (std::size_t k = 0; k < kServoCount; ++k) values[k] = static_cast<int>(k) * 100 - 1000;
  return values;
}

TEST(StandardValuesText, HexadecimalDigitsAreSignedSixteenBits) {
  std::array<std::string, kServoCount> digits;
  digits.fill("0000");
  digits[0] = "05dc";
  digits[1] = "fa24";
  digits[2] = "fc18";
  digits[19] = "7fff";
  const auto values = ParseStandardValuesText(SetupText(digits));
  ASSERT_TRUE(values);
  EXPECT_EQ((*values)[0], 1500);
  EXPECT_EQ((*values)[1], -1500);
  EXPECT_EQ((*values)[2], -1000);
  EXPECT_EQ((*values)[19], 32767);
}

TEST(StandardValuesText, MalformedValuesAreRefused) {
  EXPECT_FALSE(ParseStandardValuesText(SetupText("05DC"))) << "upper-case digits";
  EXPECT_FALSE(ParseStandardValuesText(SetupText("05d "))) << "three digits";
  std::string noPrefix = SetupText("05dc");
  noPrefix[kTextOffsets[7] + 1] = 'X';
  EXPECT_FALSE(ParseStandardValuesText(noPrefix));
  const std::string whole = SetupText("05dc");
  EXPECT_TRUE(ParseStandardValuesText(whole));
  EXPECT_FALSE(ParseStandardValuesText(whole.substr(0, 7719))) << "too short for the last value";
}

TEST(StandardValuesBinary, LittleEndianAtSeventyByteSteps) {
  const auto values = ParseStandardValuesBinary(SetupImage(Ramp()));
  ASSERT_TRUE(values);
  EXPECT_EQ(*values, Ramp());
  EXPECT_FALSE(ParseStandardValuesBinary(SetupImage(Ramp()).substr(0, 1607)));
}

class LoadStandardValuesTest : public EditorFixture {
 protected:
  std::string SetupPathSetting() const {
    return Settings(SettingsPath()).ReadText("SETUP", "PATH", "", 256);
  }
};

TEST_F(LoadStandardValuesTest, TheSettingsPathIsReadWithoutAsking) {
  const std::string path = folder.Write("STARTUP.XML", SetupText("05dc"));
  WriteSettings("[SETUP]\nPATH=" + path + "\n");
  Start();
  ASSERT_TRUE(LoadStandardValues(*document, editor));
  EXPECT_EQ((*document->standardValues)[5], 1500);
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_THAT(ui.fileRequests, IsEmpty());
}

TEST_F(LoadStandardValuesTest, TheLastLetterNChoosesTheBinaryLayoutWhateverTheModel) {
  const std::string binary = folder.Write("STARTUP.BIN", SetupImage(Ramp()));
  const std::string text = folder.Write("SETUP.XML", SetupText("0001"));
  const std::string lowerCase = folder.Write("startup.bin", SetupImage(Ramp()));
  const struct {
    const char* model;
    std::string path;
    int first;
  } cases[] = {{"1", binary, -1000}, {"2", text, 1}, {"1", lowerCase, -1000}};
  for (const auto& c : cases) {
    WriteSettings(std::string("[GENERAL]\nKAZO_MODEL=") + c.model + "\n[SETUP]\nPATH=" + c.path +
                  "\n");
    Start();
    ASSERT_TRUE(LoadStandardValues(*document, editor)) << c.path;
    EXPECT_EQ((*document->standardValues)[0], c.first);
  }
}

TEST_F(LoadStandardValuesTest, WithoutAPathTheUserIsAskedForTheFile) {
  const std::string path = folder.Write("STARTUP.XML", SetupText("0064"));
  Start();
  ui.fileAnswers.push_back(FileDialogAnswer{path, false});
  ASSERT_TRUE(LoadStandardValues(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSetupNotLoaded));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kInformation);
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_TRUE(ui.fileRequests[0].open);
  EXPECT_EQ(ui.fileRequests[0].defaultExtension, "XML");
  EXPECT_EQ(Cp932ToUtf8(ui.fileRequests[0].filter), "設定ファイル|STARTUP.XML||");
  EXPECT_EQ((*document->standardValues)[19], 100);
  EXPECT_EQ(SetupPathSetting(), path) << "the chosen file is remembered";
}

TEST_F(LoadStandardValuesTest, ASetupFileForThisRunIsUsedButNotRemembered) {
  const std::string remembered = folder.Write("STARTUP.XML", SetupText("0001"));
  const std::string forThisRun = folder.Write("RUN.XML", SetupText("0002"));
  WriteSettings("[SETUP]\nPATH=" + remembered + "\n");
  Start();
  document->setupOverride = forThisRun;
  ASSERT_TRUE(LoadStandardValues(*document, editor));
  EXPECT_EQ((*document->standardValues)[0], 2);
  EXPECT_EQ(SetupPathSetting(), remembered);

  // Once the file is gone and the user picks another, that one is remembered.
  document->standardValues.reset();
  document->setupOverride = folder.Path("gone.XML");
  ui.fileAnswers.push_back(FileDialogAnswer{remembered, false});
  ASSERT_TRUE(LoadStandardValues(*document, editor));
  EXPECT_EQ(ui.fileRequests[0].initialName, folder.Path("gone.XML"));
  EXPECT_FALSE(document->setupOverride);
  EXPECT_EQ(SetupPathSetting(), remembered);
  EXPECT_EQ((*document->standardValues)[0], 1);
}

TEST_F(LoadStandardValuesTest, ModelTwoAsksForTheBinaryProgram) {
  WriteSettings("[GENERAL]\nKAZO_MODEL=2\n[SETUP]\nPATH=" + folder.Path("gone.BIN") + "\n");
  Start();
  ui.fileAnswers.push_back(std::nullopt);
  EXPECT_FALSE(LoadStandardValues(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSetupNotLoaded)) << "Cancel adds no message";
  EXPECT_EQ(ui.fileRequests[0].defaultExtension, "BIN");
  EXPECT_EQ(Cp932ToUtf8(ui.fileRequests[0].filter), "バイナリプログラム|STARTUP.BIN||");
  EXPECT_EQ(ui.fileRequests[0].initialName, folder.Path("gone.BIN"));
  EXPECT_FALSE(document->standardValues);
}

TEST_F(LoadStandardValuesTest, UnreadableOrMalformedFilesGiveMessage103) {
  const std::string upper = folder.Write("UPPER.XML", SetupText("05DC"));
  const std::string shortImage = folder.Write("SHORT.BIN", SetupImage(Ramp(), 1607));
  const std::string shortText = folder.Write("SHORT.XML", SetupText("05dc").substr(0, 7000));
  // Garbage of the right size is no setup file: values beyond the servo range.
  const std::string garbage = folder.Write("STARTUP.BIN", std::string(1608, 'A'));
  StandardValues oneTooFar = Ramp();
  oneTooFar[19] = 1501;
  const std::string beyond = folder.Write("BEYOND.BIN", SetupImage(oneTooFar));
  oneTooFar[19] = 0;
  oneTooFar[0] = -1501;
  const std::string below = folder.Write("below.bin", SetupImage(oneTooFar));
  const std::string text = folder.Write("BEYOND.XML", SetupText("7fff"));
  for (const std::string& path : {upper, shortImage, shortText, garbage, beyond, below, text}) {
    WriteSettings("[SETUP]\nPATH=" + path + "\n");
    Start();
    ui.shown.clear();
    EXPECT_FALSE(LoadStandardValues(*document, editor)) << path;
    EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSetupReadFailed)) << path;
    EXPECT_FALSE(document->standardValues);
  }
}

TEST_F(LoadStandardValuesTest, AFileThatCannotBeOpenedGivesMessage103) {
  Start();
  ui.fileAnswers.push_back(FileDialogAnswer{folder.path(), false});  // a folder, not a file
  EXPECT_FALSE(LoadStandardValues(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSetupNotLoaded, kMsgSetupReadFailed));
  EXPECT_EQ(SetupPathSetting(), "") << "a failed open is not remembered";
}

TEST_F(LoadStandardValuesTest, OverWiFiTheCardsSetupTextIsDownloaded) {
  WriteSettings("[REMOTE]\nFLASH_AIR=1\n[SETUP]\nPATH=/nowhere/STARTUP.BIN\n");
  Start();
  std::string asked;
  std::size_t limit = 0;
  document->flashAirDownload = [&](MotionDocument&, const std::string& name, std::string& contents,
                                   std::size_t maxBytes) {
    asked = name;
    limit = maxBytes;
    contents = SetupText("0010");
    return true;
  };
  ASSERT_TRUE(LoadStandardValues(*document, editor));
  EXPECT_EQ(asked, "STARTUP.XML");
  EXPECT_EQ(limit, 24000u);
  EXPECT_EQ((*document->standardValues)[3], 16) << "parsed as text whatever SETUP/PATH says";
}

TEST_F(LoadStandardValuesTest, AFailedDownloadGivesMessage103) {
  WriteSettings("[REMOTE]\nFLASH_AIR=1\n");
  Start();
  EXPECT_FALSE(LoadStandardValues(*document, editor)) << "no transport yet";
  document->flashAirDownload = [](MotionDocument&, const std::string&, std::string& contents,
                                  std::size_t) {
    contents = "partial";
    return false;
  };
  EXPECT_FALSE(LoadStandardValues(*document, editor));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgSetupReadFailed, kMsgSetupReadFailed));
}

}  // namespace
}  // namespace kz::testing
