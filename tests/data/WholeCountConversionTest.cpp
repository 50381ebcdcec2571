// The export converts whole counts with a multiplication where the scale
// divides; every count a sample can hold must give the same reading.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "data/UNITS.h"

TEST(WholeCountConversion, EveryCountMatchesTheDivision) {
    for (std::uint8_t flags : {0, 1, 2, 3, 1 | UNITS::MidScale, 3 | UNITS::MidScale, 1 | UNITS::Logarithmic}) {
        for (int places = 0; places <= UNITS::MaxDecimals; ++places) {
            UNITS u;
            u.set(-12.5f, 3.0f, 87.25f, places, 1);
            // As a block of another type or options applies it.
            u.applyFlags(flags);
            for (std::int32_t raw = -32768; raw <= 65535; ++raw) {
                const float expected = u.toEngineering(static_cast<double>(raw));
                const float got = u.wholeToEngineering(raw);
                ASSERT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(expected))
                    << "flags " << int(flags) << " places " << places << " raw " << raw;
            }
        }
    }
}
