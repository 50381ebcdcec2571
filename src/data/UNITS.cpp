#include "data/UNITS.h"

#include <algorithm>
#include <cmath>

#include "notice/UserNotice.h"
#include "time/NumberText.h"

namespace {

constexpr std::uint16_t FullScaleByType[4] = {65535, 65535, 65535, 240};
constexpr float MaxExponent = 300.0f;

// Every segment length derives from these counts; with each at least 4 the
// mid-scale quarters are never empty, so no division is by zero.
static_assert(std::ranges::all_of(FullScaleByType, [](std::uint16_t f) { return f >= 4; }));

bool clampExponent(float& value) {
    if (!(value > MaxExponent)) return false;
    value = MaxExponent;
    return true;
}

}  // namespace

void UNITS::set(float lowEnd, float middle, float highEnd, int places, std::uint8_t newFlags) {
    low = lowEnd;
    high = highEnd;
    if (high == low) {
        middle = low;
        high = low + 10.0f;
        low = low - 10.0f;
    }
    point1 = point2 = middle;
    decimals = static_cast<std::uint8_t>(std::clamp(places, 0, MaxDecimals));
    applyFlags(newFlags);
}

void UNITS::applyFlags(std::uint8_t newFlags) {
    flags = newFlags;
    fullScale = FullScaleByType[flags & TypeMask];
    break2 = fullScale / 2;
    break1 = break2;
    if (flags & MidScale) {
        break1 = break1 / 2;
        break2 = static_cast<std::uint16_t>(break2 + break1);
        const float centre = (low + high) / 2;
        point1 = centre - (point2 - centre);
    } else {
        // Two segments meet at the middle value again, so a record applied
        // anew for a block without the option converts as set() left it.
        point1 = point2;
    }
    if (flags & Logarithmic) {
        // Evaluate all four: each must be clamped, not only the first.
        bool changed = clampExponent(low);
        changed = clampExponent(point1) || changed;
        changed = clampExponent(point2) || changed;
        changed = clampExponent(high) || changed;
        if (changed) showError("Value too large to use as an exponent.");
    }
    slope_[0] = slopeOf(low, point1, break1);
    slope_[1] = slopeOf(point1, point2, break2 - break1);
    slope_[2] = slopeOf(point2, high, fullScale - break2);
}

char* UNITS::formatOther(char* out, float reading, int width, bool keepExponent) const {
    width = std::clamp(width, 6, 9);
    const bool logarithmic = (flags & Logarithmic) != 0;
    double x = reading;
    if (logarithmic && !keepExponent) x = std::pow(10.0, x);
    const double magnitude = std::fabs(x);
    if (x != 0 && (logarithmic || magnitude >= 1e8 || magnitude < 0.001))
        return formatGeneral(out, x, width, width - 6);
    return formatFixed(out, x, width, std::min<int>(decimals, MaxDecimals));
}
