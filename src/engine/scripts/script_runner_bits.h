// The runner's state of a line whose list starts from the full set: the
// list as one bit per combination. Private to the script runner's files.
#pragma once

#include <memory>
#include <vector>

#include "scripts/bit_list.h"
#include "scripts/script_runner.h"

namespace vexa {

struct TScriptRunner::TBits {
  std::unique_ptr<TFullCombs> All;  // made on first use
  TBitList List;
  TBitList Undo;
  TBitList Excl;
  bool Active = false;  // the line's list lives in List
  bool Synced = false;  // and the combinations list holds the same
  int ExclOffset = -1;
  int ExclN = -1;
  TMatchCache Cache;
  std::vector<TComb> Scratch;
};

}  // namespace vexa
