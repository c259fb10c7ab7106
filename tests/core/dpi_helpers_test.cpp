#include "dpi_helpers.h"

#include <gtest/gtest.h>

namespace {

TEST(DpiHelpers, NearestHardwareStep) {
  struct Case { std::uint32_t value, expected; };
  const Case cases[] = {{0, 250},     {250, 250},   {374, 250},   {375, 250} /* tie: lower */,
                        {376, 500},   {1750, 1750}, {3999, 4000}, {4000, 4000},
                        {5000, 4000}, {UINT32_MAX, 4000}, {3875, 3750}, {3876, 4000}};
  for (const auto& c : cases) EXPECT_EQ(GetNearestHWCPI(c.value), c.expected) << c.value;
  EXPECT_EQ(GetNearestHWCPI(GetMaxValue(800, 1200)), 1250u);
  EXPECT_EQ(GetMaxValue(1200, 800), 1200u);
}

TEST(DpiHelpers, NearestOfTwo) {
  EXPECT_EQ(GetNearestOfTwo(250, 500, 375), 250);
  EXPECT_EQ(GetNearestOfTwo(250, 500, 376), 500);
  EXPECT_EQ(GetNearestOfTwo(250, 500, -1), 250) << "a negative argument gives Low";
}

TEST(DpiHelpers, RatesOfTheFirstSixLevels) {
  CPI_UNIT unit{};
  for (auto& r : unit.XYCpiRate) r = {77, 77};
  unit.HWCpi[0] = {1, 1000, 1000};
  unit.STCpi[0] = {1, 800, 1200};
  unit.HWCpi[1] = {1, 0, 1000};  // hardware X of 0
  unit.STCpi[1] = {1, 800, 800};
  unit.HWCpi[2] = {1, 3, 3};
  unit.STCpi[2] = {1, 2, 1};  // truncating division
  EXPECT_TRUE(CalculateXYCpiRate(unit));
  EXPECT_EQ(unit.XYCpiRate[0].X, 80);
  EXPECT_EQ(unit.XYCpiRate[0].Y, 120);
  EXPECT_EQ(unit.XYCpiRate[1].X, 0);
  EXPECT_EQ(unit.XYCpiRate[1].Y, 0);
  EXPECT_EQ(unit.XYCpiRate[2].X, 66);
  EXPECT_EQ(unit.XYCpiRate[2].Y, 33);
  EXPECT_EQ(unit.XYCpiRate[5].X, 0) << "zero hardware values give 0";
  EXPECT_EQ(unit.XYCpiRate[6].X, 77) << "levels 6 to 9 are left alone";
}

TEST(DpiHelpers, RateThatDoesNotFitStopsAtThatLevel) {
  CPI_UNIT unit{};
  for (auto& r : unit.XYCpiRate) r = {77, 77};
  unit.HWCpi[0] = {1, 100, 100};
  unit.STCpi[0] = {1, 100, 100};
  unit.HWCpi[1] = {1, 1, 1};
  unit.STCpi[1] = {1, 400, 400};  // 40000 % does not fit 16 bits
  unit.HWCpi[2] = {1, 100, 100};
  unit.STCpi[2] = {1, 50, 50};
  EXPECT_FALSE(CalculateXYCpiRate(unit));
  EXPECT_EQ(unit.XYCpiRate[0].X, 100);
  EXPECT_EQ(unit.XYCpiRate[1].X, 77);
  EXPECT_EQ(unit.XYCpiRate[2].X, 77);
  unit.STCpi[1] = {1, 50000000, 1};  // x 100 overflows 32 bits
  EXPECT_FALSE(CalculateXYCpiRate(unit));
}

}  // namespace
