// The shipped sample setup text must keep yielding the values it was written with.
#include <gmock/gmock.h>

#include <array>
#include <cstdint>
#include <string>

#include "model/standard_values.h"
#include "platform/file_io.h"

namespace kz {
namespace {

// As much as the editor reads of a setup file: the sample must fit within it.
constexpr std::size_t kSetupReadLimit = 24000;

// Servo IDs 2..21, tenths of a degree.
constexpr std::array<std::int32_t, 20> kSampleValues = {
    30, -150, 280, -130, -25, -30, 150, -280, 130, 25, 0, 0, 0, 0, 120, 45, 0, -120, -45, 0};

TEST(SampleSetup, StartupXmlYieldsItsStandardValues) {
  std::string text;
  ASSERT_TRUE(ReadWholeFile(KZ_SOURCE_DIR "/samples/STARTUP.XML", text, kSetupReadLimit));
  ASSERT_LT(text.size(), kSetupReadLimit) << "sample would be cut short by the editor";

  const auto values = ParseStandardValuesText(text);
  ASSERT_TRUE(values.has_value()) << "a value is missing or not at its offset";
  EXPECT_THAT(*values, ::testing::ElementsAreArray(kSampleValues));
}

}  // namespace
}  // namespace kz
