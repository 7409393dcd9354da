// How a rating's overlaps compare with pure chance.
//
// A random stake of six numbers matches a draw in exactly k numbers with
// probability P(k) = C(6,k)·C(39,6-k) / C(45,6). For a rating of n checked
// stakes with m matched numbers in all, the p-value is the probability that
// n independent random stakes match at least m numbers in all, i.e. a mean
// overlap at least this high: small values mean the stakes did better than
// luck would explain.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/game.h"

namespace vexa {

using TMatchProbabilities = std::array<long double, MainCount + 1>;
// P(k) for k = 0..6.
const TMatchProbabilities& MatchProbabilities();

// P(S >= matchSum) where S is the sum of `checks` independent overlaps drawn
// from P(k); NaN when checks <= 0. Exact up to rounding: the distribution of
// S is computed by repeated squaring, tilted so that matchSum sits at its
// centre, which keeps far tails (down to about 1e-4900) accurate. The work
// grows with checks (half a second at a million), so past
// OverlapPValueMaxChecks the value is not computed: NaN.
inline constexpr int64_t OverlapPValueMaxChecks = 1000000;
long double OverlapPValue(int64_t checks, int64_t matchSum);

// "" for NaN; "1" and "0" as such; four decimals ("0.0123") down to 0.001;
// below that "1.23e-5". The locale's decimal separator.
std::string PValueText(long double p);

}  // namespace vexa
