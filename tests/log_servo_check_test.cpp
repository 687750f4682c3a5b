#include "model/log_servo_check.h"

#include <gmock/gmock.h>

#include "fakes/editor_fixture.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class LogServoCheckTest : public EditorFixture {
 protected:
  void SetUp() override {
    Start();
    StandardValues standard{};
    standard.fill(7);
    document->standardValues = standard;
  }
  std::array<std::int16_t, kServoCount> Log(std::int16_t first, std::int16_t last) {
    std::array<std::int16_t, kServoCount> values{};
    values.front() = first;
    values.back() = last;
    return values;
  }
};

TEST_F(LogServoCheckTest, TheLimitsThemselvesAreAccepted) {
  auto values = Log(1500, -1500);
  EXPECT_TRUE(CheckLogServoValues(*document, editor, values));
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(LogServoCheckTest, YesCorrectsEveryAbnormalValueOfTheImport) {
  ui.answers = {Button::kYes};
  auto first = Log(1501, -1501);
  auto second = Log(-3000, 0);
  EXPECT_TRUE(CheckLogServoValues(*document, editor, first));
  EXPECT_TRUE(CheckLogServoValues(*document, editor, second));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgFixServoLogValues)) << "asked once";
  EXPECT_EQ(first.front(), 7);
  EXPECT_EQ(first.back(), 7);
  EXPECT_EQ(second.front(), 7);
}

TEST_F(LogServoCheckTest, NoRejectsEveryAbnormalLog) {
  ui.answers = {Button::kNo};
  auto first = Log(1501, 0);
  auto fine = Log(0, 0);
  auto second = Log(0, 2000);
  EXPECT_FALSE(CheckLogServoValues(*document, editor, first));
  EXPECT_TRUE(CheckLogServoValues(*document, editor, fine));
  EXPECT_FALSE(CheckLogServoValues(*document, editor, second));
  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgFixServoLogValues));
}

}  // namespace
}  // namespace kz::testing
