// Sample archive for trying the program without a network: generated
// numbers, not real results.
#pragma once

#include <cstdint>

#include "core/game.h"

namespace vexa {

// `count` draws numbered from 1, the newest dated 2 Dec 2026 and the older
// ones twice a week backwards (Wednesday and Saturday). Each draw has six
// distinct main numbers and two supplementary numbers distinct from them,
// drawn uniformly from a generator seeded with `seed`; the same seed gives
// the same archive on every machine.
TDrawsArray GenerateDemoDraws(int count, uint64_t seed);

}  // namespace vexa
