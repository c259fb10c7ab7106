// DPI values: snapping a chosen value to the sensor's hardware steps, and the
// per-level ratio of chosen to hardware values.
#pragma once

#include <cstdint>

#include "macro_records.h"

std::uint32_t GetMaxValue(std::uint32_t A, std::uint32_t B);
// Low when Value is at least as near to Low as to High, else High. Arguments
// are non-negative; a negative one gives Low.
std::int32_t GetNearestOfTwo(std::int32_t Low, std::int32_t High, std::int32_t Value);
// The hardware step nearest to Value; the lower one on a tie.
std::uint32_t GetNearestHWCPI(std::uint32_t Value);
// Fills XYCpiRate[0..5] with chosen x 100 / hardware. A level whose percentage
// does not fit the record stops the calculation there (earlier levels keep
// their new values) and the result is false.
bool CalculateXYCpiRate(CPI_UNIT& Unit);
