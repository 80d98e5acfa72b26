// The event queue of a loop that yields after every small step is looked at
// no more than every half millisecond.
#include <gtest/gtest.h>

#include "ui/common/look_throttle.h"

namespace {

TEST(LookThrottleTest, TheFirstLookIsDueThenOneEveryHalfMillisecond) {
  ui::LookThrottle throttle;
  EXPECT_TRUE(throttle.Due(-1000));  // whatever the clock reads at first
  EXPECT_FALSE(throttle.Due(-999));
  EXPECT_FALSE(throttle.Due(-501));
  EXPECT_TRUE(throttle.Due(-500));
  EXPECT_FALSE(throttle.Due(-1));
  EXPECT_TRUE(throttle.Due(1000));
}

}  // namespace
