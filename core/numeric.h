// Numeric conversions every layer shares: saturating double-to-int and
// double-to-float conversions and the degrees-to-radians factor. The program
// runs with floating-point traps on, so an out-of-range conversion must never
// reach the hardware: callers use these instead of writing their own guards.
//
// Where callers need different results (the NaN result, the bounds) there is
// one named function per behaviour; none of them ever traps.
#pragma once

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>

// Degrees to radians as the library computes it (the factor is the library's
// own 0.017453292, not pi / 180 to full precision). The float form is for
// float arithmetic, where the product must stay single precision.
inline constexpr double kDegreesToRadians = 0.017453292;
inline constexpr float kDegreesToRadiansFloat = 0.017453292f;

namespace numeric_detail {
// V truncated toward zero, LOW at or below LOW and HIGH at or above HIGH
// (both whole numbers inside the 32-bit range); NaN gives 0. NaN is tested
// first: an ordered comparison with it would raise the invalid trap.
inline int32_t Truncate(double v, double low, double high)
{
    if (std::isnan(v))
        return 0;
    if (v >= high)
        return static_cast<int32_t>(high);
    if (v <= low)
        return static_cast<int32_t>(low);
    return static_cast<int32_t>(v);
}
} // namespace numeric_detail

// V truncated toward zero into INT_MIN..INT_MAX; NaN gives 0.
inline int TruncateToInt(double v)
{
    return numeric_detail::Truncate(v, -2147483648.0, 2147483647.0);
}

// V truncated toward zero into -INT_MAX..INT_MAX (a range symmetric about 0,
// as the dialog fields hold it); NaN gives 0.
inline int TruncateToIntSymmetric(double v)
{
    return numeric_detail::Truncate(v, -2147483647.0, 2147483647.0);
}

// V rounded to the nearest integer (halves away from zero) into
// INT_MIN..INT_MAX; NaN gives 0.
inline int RoundToInt(double v)
{
    if (std::isnan(v) || v >= 2147483647.0 || v <= -2147483648.0)
        return TruncateToInt(v);
    return static_cast<int>(std::lround(v));
}

// V truncated toward zero when it is a number whose truncation lies in
// INT_MIN..INT_MAX; NaN, infinities and values beyond the range give OUTSIDE
// (for words where an out-of-range value means "unknown", not "the limit").
inline int TruncateToIntOr(double v, int outside)
{
    if (std::isnan(v) || v >= 2147483648.0 || v <= -2147483649.0)
        return outside;
    return static_cast<int>(v);
}

// Largest magnitude of an integer device coordinate: conversions of device
// coordinates to device words saturate here, not at INT_MAX.
inline constexpr float kDeviceCoordinateLimit = 2147480064.0f;

// V truncated toward zero into -kDeviceCoordinateLimit..kDeviceCoordinateLimit;
// NaN gives 0.
inline int32_t TruncateToDeviceCoordinate(double v)
{
    return numeric_detail::Truncate(v, -kDeviceCoordinateLimit, kDeviceCoordinateLimit);
}

// V as a float, saturated at +-LIMIT (a positive limit inside the float
// range); NaN gives 0.
inline float SaturateToFloatWithin(double v, double limit)
{
    if (std::isnan(v))
        return 0.0f;
    if (v > limit)
        return static_cast<float>(limit);
    if (v < -limit)
        return static_cast<float>(-limit);
    return static_cast<float>(v);
}

// V as a float, saturated at +-FLT_MAX; NaN gives 0.
inline float SaturateToFloat(double v)
{
    return SaturateToFloatWithin(v, FLT_MAX);
}

// V kept in double precision but brought into the float range: +-FLT_MAX for
// larger magnitudes and infinities, 0 for NaN (so that sums and products of
// such values stay finite in double).
inline double ClampToFloatRange(double v)
{
    if (std::isnan(v))
        return 0.0;
    return std::clamp(v, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX));
}

// V as a float, saturated at +-FLT_MAX; a NaN stays a NaN (for callers that
// carry "no value" through as NaN).
inline float SaturateToFloatKeepNaN(double v)
{
    return std::isnan(v) ? static_cast<float>(v) : SaturateToFloatWithin(v, FLT_MAX);
}
