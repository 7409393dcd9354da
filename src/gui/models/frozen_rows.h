// While an operation runs on the worker the engine's data are its own: a
// model then answers from a copy of the rows that were on screen.
#pragma once

#include <optional>
#include <vector>

namespace vexa::gui {

template <typename Row>
class TFrozenRows {
 public:
  bool Frozen() const { return Frozen_; }
  template <typename Get>
  void Freeze(int first, int last, Get get) {
    Frozen_ = true;
    First_ = first < 0 ? 0 : first;
    Rows_.clear();
    for (int r = First_; r <= last; ++r) Rows_.push_back(get(r));
  }
  void Thaw() {
    Frozen_ = false;
    Rows_.clear();
  }
  // The copy of a row, or nothing when it was not on screen.
  const Row* Find(int row) const {
    const int i = row - First_;
    return i >= 0 && i < static_cast<int>(Rows_.size()) ? &Rows_[static_cast<size_t>(i)] : nullptr;
  }

 private:
  bool Frozen_ = false;
  int First_ = 0;
  std::vector<Row> Rows_;
};

}  // namespace vexa::gui
