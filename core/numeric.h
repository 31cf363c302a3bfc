// Numeric conversions every layer shares: saturating double-to-int and
// double-to-float conversions and the degrees-to-radians factor. The program
// runs with floating-point traps on, so an out-of-range conversion must never
// reach the hardware: these are the one place where that is guarded.
//
// Where callers need different results (the NaN result, the bounds) there is
// one named function per behaviour; none of them ever traps.
#pragma once

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>

// Degrees to radians as the library computes it (the factor is the library's
// own 0.017453292, not pi / 180 to full precision). The float form is for
// float arithmetic, where the product must stay single precision.
inline constexpr double kDegreesToRadians = 0.017453292;
inline constexpr float kDegreesToRadiansFloat = 0.017453292f;

// V truncated toward zero into INT_MIN..INT_MAX; NaN gives 0.
inline int TruncateToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT_MAX;
    if (v <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(v);
}

// V truncated toward zero into -INT_MAX..INT_MAX (a range symmetric about 0,
// as the dialog fields hold it); NaN gives 0.
inline int TruncateToIntSymmetric(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT_MAX;
    if (v <= -2147483647.0)
        return -INT_MAX;
    return static_cast<int>(v);
}

// V rounded to the nearest integer (halves away from zero) into
// INT_MIN..INT_MAX; NaN gives 0.
inline int RoundToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT_MAX;
    if (v <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(std::lround(v));
}

// Largest magnitude of an integer device coordinate: conversions of device
// coordinates to device words saturate here, not at INT_MAX.
inline constexpr float kDeviceCoordinateLimit = 2147480064.0f;

// V truncated toward zero into -kDeviceCoordinateLimit..kDeviceCoordinateLimit;
// NaN gives 0.
inline int32_t TruncateToDeviceCoordinate(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= kDeviceCoordinateLimit)
        return static_cast<int32_t>(kDeviceCoordinateLimit);
    if (v <= -kDeviceCoordinateLimit)
        return -static_cast<int32_t>(kDeviceCoordinateLimit);
    return static_cast<int32_t>(v);
}

// V as a float, saturated at +-FLT_MAX; NaN gives 0.
inline float SaturateToFloat(double v)
{
    if (std::isnan(v))
        return 0.0f;
    if (v > FLT_MAX)
        return FLT_MAX;
    if (v < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(v);
}

// V as a float, saturated at +-LIMIT (a positive limit inside the float
// range, for values kept far from overflow); NaN gives 0.
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

// V as a float, saturated at +-FLT_MAX; a NaN stays a NaN (for callers that
// carry "no value" through as NaN).
inline float SaturateToFloatKeepNaN(double v)
{
    if (std::isnan(v))
        return static_cast<float>(v);
    if (v > FLT_MAX)
        return FLT_MAX;
    if (v < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(v);
}
