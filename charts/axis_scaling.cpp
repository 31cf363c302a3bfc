// Axis scaling and tick labels.
//
// Steps, first ticks and tolerances are 32-bit reals as the graph state keeps
// them; sums and quotients that could leave the float range (a range end
// near the largest real plus a tolerance) are formed in double, and every
// real-to-integer conversion saturates, so that no input makes these
// routines trap.
#include "charts/axis_scaling.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <span>
#include <string_view>

#include "charts/graph_state.h"
#include "core/conversions.h"
#include "core/numeric.h"
#include "core/string_routines.h"
#include "fonts/text_font.h"
#include "graphics/text_state.h"

AxisLabelBuffer gAxisLabelBuffer;

namespace {

constexpr float kDecadeTolerance = 0.0001f;
constexpr float kStepToleranceDivisor = 100000.0f;
constexpr int kLogFloor = -38;
constexpr int kCategoryLabelLimit = 12;
constexpr int kExponentDigitsLimit = 6;

// The two number-format templates, completed in place before each use:
// "(F9.d)" and "(1PEww.d)".
char gFixedTemplate[] = "(F9. )";
char gExponentTemplate[] = "(1PE  . )";

int Magnitude(int n) { return n == INT_MIN ? INT_MAX : std::abs(n); }

// log10 of the magnitude (-38 for 0) as the decade routines use it: a value
// that is not a number counts as 0, and an infinite one as the largest real.
double DecadeLog(float x)
{
    if (std::isnan(x))
        return kLogFloor;
    if (std::isinf(x))
        return std::log10(static_cast<double>(FLT_MAX));
    return YYLog10(x);
}

// Width W as mantissa (1 <= m < 10) times 10^k. A width of 0 or one that is
// not finite ends at once with mantissa 1 and exponent 0.
void Normalise(float w, float& m, int& k)
{
    k = 0;
    if (w == 0.0f || !std::isfinite(w)) {
        m = 1.0f;
        return;
    }
    float v = w;
    for (;;) {
        if (std::fabs(v) >= 10.0f) {
            v /= 10.0f;
            ++k;
        } else if (std::fabs(v) < 1.0f) {
            v *= 10.0f;
            --k;
        } else {
            break;
        }
    }
    m = std::fabs(v);
}

enum class StepTable { Ticks, TicksThird, Round };

// Multiplier x 10^(k-1).
float StepOf(float m, int k, StepTable table)
{
    int mult;
    switch (table) {
    case StepTable::Ticks:
        mult = m < 1.3f ? 1 : (m < 2.6f ? 2 : (m < 6.5f ? 5 : 10));
        break;
    case StepTable::TicksThird:
        mult = m < 2.6f ? 2 : (m < 6.5f ? 5 : 10);
        break;
    default:
        mult = m < 1.3f ? 2 : (m < 2.6f ? 5 : 10);
        break;
    }
    return SaturateToFloat(mult * std::pow(10.0, k - 1));
}

// The first multiple of STEP at or above A; a value within STEP / 100000 of
// a multiple keeps its own value.
float FirstTick(float a, float step)
{
    if (!(step > 0.0f) || !std::isfinite(a))
        return a;
    float tol = step / kStepToleranceDivisor;
    double r = std::fmod(std::fabs(static_cast<double>(a)), static_cast<double>(step));
    if (r < tol || step - r < tol)
        return a;
    if (a < 0.0f)
        return SaturateToFloat(a + r);
    return SaturateToFloat(a - r + step);
}

int TickCountNumeric(float a, float b, float step, float first, bool strict)
{
    if (!(step > 0.0f))
        return 0;
    double tol = step / kStepToleranceDivisor;
    double d = static_cast<double>(b) - a;
    int n = TruncateToInt((d + tol) / step);
    double R = (static_cast<double>(b) + tol) - first - (static_cast<double>(n) - 1.0) * step;
    bool more = strict ? R > step : R >= step;
    return more && n < INT_MAX ? n + 1 : n;
}

} // namespace

int YYAxisTicks(float a, float b, int category, int categories, int axis, float& step,
                float& firstTick, int& count, int& exponent, float& labelStep, float& firstLabel)
{
    const PgGraphState& s = gPgGraphState;
    if (!std::isfinite(a) || !std::isfinite(b)) {
        // No axis to scale: nothing to tick.
        step = firstTick = labelStep = firstLabel = 0.0f;
        count = exponent = 0;
        return 0;
    }
    double d = static_cast<double>(b) - a;
    int signedCount;
    if ((category & 1) == 0) {
        float m;
        Normalise(SaturateToFloat(d), m, exponent);
        step = StepOf(m, exponent, axis == 3 ? StepTable::TicksThird : StepTable::Ticks);
        firstTick = FirstTick(a, step);
        labelStep = step;
        firstLabel = firstTick;
        signedCount = TickCountNumeric(a, b, step, firstTick, false);
    } else {
        // A category axis has at least one category.
        const int64_t N = std::max(categories, 1);
        int64_t sCat = 1;
        float L = 1.0f;
        if (N > kCategoryLabelLimit) {
            float v = static_cast<float>(N);
            int j = 0;
            do {
                v /= 10.0f;
                ++j;
            } while (v > 10.0f);
            double p = std::pow(10.0, j - 1);
            L = static_cast<float>(v < 3.0f ? 2.0 * p : (v < 7.0f ? 5.0 * p : 10.0 * p));
            sCat = std::max<int64_t>(static_cast<int64_t>(L), 1);
        }
        const double Nd = static_cast<double>(N);
        step = SaturateToFloat(L * d / Nd);
        if (N == 1) {
            firstTick = SaturateToFloat(a + d / 2.0);
            labelStep = 0.0f;
            firstLabel = a;
            signedCount = 1;
        } else {
            int64_t M = (N + sCat / 2) / sCat;
            int64_t c = (N - sCat * (M - 1) - 1) / 2;
            firstTick = SaturateToFloat(a + d / (2.0 * Nd) + static_cast<double>(c) * d / Nd);
            labelStep = SaturateToFloat(L * d / (Nd - 1.0));
            firstLabel = SaturateToFloat(a + static_cast<double>(c) * d / (Nd - 1.0));
            signedCount = static_cast<int>(M);
        }
        exponent = TruncateToInt(YYLog10(SaturateToFloat(d)));
        double R = static_cast<double>(b) - firstLabel - (static_cast<double>(signedCount) - 1.0) * labelStep;
        if (R >= labelStep)
            ++signedCount;
    }
    if (s.threeD != 0 && (s.graphType == 1 || s.graphType == 2)) {
        double g = s.depthFraction;
        step = SaturateToFloat(step * (1.0 - g));
        firstTick = SaturateToFloat(a + (1.0 - g) * (static_cast<double>(firstTick) - a));
    }
    count = Magnitude(signedCount);
    return signedCount;
}

void YYAxisRound(float a, float b, float& step, int& count, float& span, int& exponent,
                 float& firstTick, float& offset)
{
    if (!std::isfinite(a) || !std::isfinite(b)) {
        step = span = firstTick = offset = 0.0f;
        count = exponent = 0;
        return;
    }
    double d = static_cast<double>(b) - a;
    float m;
    Normalise(SaturateToFloat(d), m, exponent);
    step = StepOf(m, exponent, StepTable::Round);
    firstTick = FirstTick(a, step);
    count = Magnitude(TickCountNumeric(a, b, step, firstTick, true));
    if (step > 0.0f) {
        span = SaturateToFloat(d / step);
        offset = SaturateToFloat((static_cast<double>(firstTick) - a) / step);
    } else {
        span = 0.0f;
        offset = 0.0f;
    }
}

int YYAxisNumbers(float v, float& step, int& count, int& exponent)
{
    if (!std::isfinite(v)) {
        step = 0.0f;
        count = exponent = 0;
        return 0;
    }
    float m;
    Normalise(v, m, exponent);
    step = StepOf(m, exponent, StepTable::Round);
    int n = 0;
    if (step > 0.0f) {
        double tol = step / kStepToleranceDivisor;
        n = TruncateToInt((static_cast<double>(v) + tol) / step);
        double R = static_cast<double>(v) + tol - (static_cast<double>(n) - 1.0) * step;
        if (R < step) {
            if ((static_cast<double>(n) - 1.0) * step >= v)
                --n;
        } else if (static_cast<double>(n) * step < v && n < INT_MAX) {
            ++n;
        }
    }
    count = Magnitude(n);
    return n;
}

void YYLogRange(float minimum, float maximum, int& labelStep, int& decadeCount, int& startDecade,
                int& topDecade)
{
    double lo = DecadeLog(minimum);
    double hi = DecadeLog(maximum);
    int low = TruncateToInt(lo - kDecadeTolerance);
    if (lo > 0.0)
        ++low;
    int top = TruncateToInt(hi + kDecadeTolerance);
    if (hi < 0.0)
        --top;
    topDecade = top;
    // Decades of a real lie within -45..39, so these sums cannot overflow
    // unless a range end is not finite; saturate then.
    int64_t n = static_cast<int64_t>(top) - low + 1;
    decadeCount = static_cast<int>(std::clamp<int64_t>(n, INT_MIN, INT_MAX));
    labelStep = std::max(TruncateToInt(std::ceil(decadeCount / 10.0)), 1);
    startDecade = static_cast<int>(std::max<int64_t>(static_cast<int64_t>(low) - labelStep, kLogFloor));
}

void YYAxisDecades(float maximum, int& labelStep, int& decadeCount, int& startDecade, int& topDecade)
{
    double L = DecadeLog(maximum);
    int top = TruncateToInt(L + kDecadeTolerance);
    if (L < 0.0)
        --top;
    topDecade = top;
    decadeCount = static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(top) + 39, INT_MIN, INT_MAX));
    labelStep = std::max(TruncateToInt(std::ceil(decadeCount / 5.0)), 1);
    startDecade = kLogFloor + labelStep;
}

void YYTickLabel(float value, int decade, int extraDigit, int& first, int& last)
{
    auto& buf = gAxisLabelBuffer.text;
    std::fill(buf.begin(), buf.end(), ' ');
    const int p = gPgGraphState.tickDecimals;
    // The templates hold the number of decimals as one digit.
    auto digit = [](int d) { return static_cast<char>('0' + std::clamp(d, 0, 9)); };

    if (value == 0.0f) {
        buf[0] = '0';
    } else if (decade < -4 || decade > 5) {
        int e = 1;
        if (decade < 0) {
            double t = std::fabs(std::log10(std::fabs(static_cast<double>(value))) - decade);
            e = std::isless(t, static_cast<double>(kExponentDigitsLimit)) ? TruncateToInt(t) + 1
                                                                          : kExponentDigitsLimit;
            e = std::min(e, kExponentDigitsLimit);
        }
        int w = e + 7;
        gExponentTemplate[4] = static_cast<char>('0' + w / 10);
        gExponentTemplate[5] = static_cast<char>('0' + w % 10);
        gExponentTemplate[7] = digit(p >= 0 ? p : e);
        IRealToString(value, std::span<char>(buf.data(), 13), gExponentTemplate);
    } else if (decade <= 0 || p >= 1) {
        int d = p >= 0 ? p : std::abs(decade) + 1 + ((extraDigit & 1) ? 1 : 0);
        gFixedTemplate[4] = digit(d);
        IRealToString(value, std::span<char>(buf.data(), 9), gFixedTemplate);
        if (p < 0 && (extraDigit & 1) && buf[8] == '0')
            buf[8] = ' ';
    } else {
        // An integer part beyond the integer range overflows the field the
        // same way a large integer does.
        int iv = std::isnan(value) ? INT_MAX : TruncateToInt(value);
        IntegerToString(iv, std::span<char>(buf.data(), 9), "(I9)");
    }

    int f = 0, l = 0;
    YYTokenBounds(std::string_view(buf.data(), 13), f, l);
    if (f > 0) {
        std::string_view tok(buf.data() + f - 1, static_cast<size_t>(l - f + 1));
        if (tok == "0.0") {
            f = l;
        } else if (tok.front() == '0') {
            if (f < l - 1)
                ++f;
            else
                l = f;
        } else if (tok.size() >= 2 && tok[0] == '-' && tok[1] == '0') {
            ++f;
            buf[static_cast<size_t>(f - 1)] = '-';
        } else if (tok.size() >= 2 && tok.substr(tok.size() - 2) == ".0") {
            if (p == 1) {
            } else if (tok.size() == 2) {
                f = l;
            } else {
                l -= 2;
            }
        }
    }
    first = f;
    last = l;
}

void YYCharShrink(float width, float height)
{
    const double A = width, B = height;
    const double w = gTextState.charWidth, h = gTextState.charHeight;
    if (!std::isgreater(A, 0.0) || !std::isgreater(B, 0.0) || !std::isgreater(w, 0.0) ||
        !std::isgreater(h, 0.0) || !std::isfinite(A) || !std::isfinite(B))
        return;
    double rw = w / A, rh = h / B;
    double nw, nh;
    if (rw > 1.0 && rh > 1.0) {
        if (rw > rh) {
            nw = A;
            nh = h * A / w;
        } else {
            nw = w * B / h;
            nh = B;
        }
    } else if (rw > 1.0) {
        nw = A;
        nh = h * A / w;
    } else if (rh > 1.0) {
        nw = w * B / h;
        nh = B;
    } else {
        return;
    }
    YYCharSize(static_cast<float>(nw), static_cast<float>(nh));
}
