#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

// A test that needs a program the machine lacks (Xvfb, PulseAudio) is skipped when run by hand.
// scripts/test installs everything and sets ZINTOR_REQUIRE_ALL=1: there a missing piece fails
// the test instead of letting it pass unseen.
#define ZINTOR_SKIP_UNLESS(present, why)             \
    do {                                             \
        if (!(present)) {                            \
            if (std::getenv("ZINTOR_REQUIRE_ALL")) { \
                FAIL() << why;                       \
            }                                        \
            GTEST_SKIP() << why;                     \
        }                                            \
    } while (false)
