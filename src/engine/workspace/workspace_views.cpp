// The analysis views of the workspace: builds over the archive at the
// current offset, and the card and layout filters.
#include "combs/filter.h"
#include "core/error.h"
#include "core/format.h"
#include "stats/number_stats.h"
#include "workspace/workspace.h"

namespace vexa {

// The graphs tab's method list, named in the error of no method.
static constexpr const char* GraphKindListName = "cbDrawsGraphType";

TDrawsCard TWorkspace::BuildCard() {
  TOperation op(*this, 0);
  SetStatus(CardBuildStatus);
  return TDrawsCard(Archive_.Draws());
}

TCardColorOptions TWorkspace::CardColorOptions() const {
  return {Window_.ColorCard, Window_.ColorCardSequences, Stats_.Config.ChannelSize};
}

TLayoutGrid TWorkspace::BuildLayout(int length) {
  TOperation op(*this, 0);
  SetStatus(LayoutBuildStatus);
  return vexa::BuildLayout(Archive_, length);
}

TCompareLists TWorkspace::BuildCompareLists(const TCompareLengths& lengths) {
  TOperation op(*this, 0);
  SetStatus(LayoutBuildStatus);
  return vexa::BuildCompareLists(Archive_, lengths);
}

std::vector<int> TWorkspace::DrawsGraphMethods() const {
  std::vector<int> methods;
  for (int i = 0; i < Stats_.Count(); ++i)
    if (Stats_.HasGraph(i)) methods.push_back(i);
  return methods;
}

TDrawsGraph TWorkspace::DrawsGraph(int methodIndex, int length, bool showMarks) {
  if (methodIndex < 0 || methodIndex >= Stats_.Count() || !Stats_.HasGraph(methodIndex))
    throw EVexaError(Format(NoMethodSelectedFormat, {GraphKindListName}));
  if (Archive_.Empty()) return {};
  TOperation op(*this, 0);
  SetStatus(DrawsGraphStatus);
  const std::unique_ptr<TCustomStat> stat = Stats_.CreateStat(methodIndex);
  return BuildDrawsGraph(*stat, Stats_.Items(methodIndex).FullName(), Archive_.Draws(), Archive_.DrawsOffset(),
                         length, SortedDraws(), showMarks);
}

TRepeatsAnalysis TWorkspace::AnalyzeRepeats(int drawsLength, int deep) {
  if (Archive_.Empty()) throw EVexaError("Архив тиражей пуст!");
  TOperation op(*this, 0);
  return vexa::AnalyzeRepeats(Archive_.Draws(), drawsLength, deep, ViewsRandom_, Relay_);
}

TSumsDistribution TWorkspace::TotalSumCombs() {
  TOperation op(*this, 0);
  SetStatus(SumsStatus);
  return vexa::TotalSumCombs(Archive_.Draws());
}

void TWorkspace::CardFilter(const TDrawsCard& card, const TGridRect& selection, bool del) {
  if (!GridFilterEnabled(selection)) throw EVexaError(GridSelectionOutsideError);
  GridFilter(false, CardSelectionCells(card, selection), del);
}

void TWorkspace::LayoutFilter(const TLayoutGrid& grid, const TGridRect& selection, bool del) {
  if (!GridFilterEnabled(selection)) throw EVexaError(GridSelectionOutsideError);
  GridFilter(true, LayoutSelectionCells(grid, selection), del);
}

void TWorkspace::GridFilter(bool layout, const TGridCells& cells, bool del) {
  TOperation op(*this, ChangeCombs);
  Combs_.SaveUndo(true);
  const TFilterValues values = layout ? LayoutFilterValues(cells) : CardFilterValues(cells);
  const std::unique_ptr<TCustomStat> stat = TstValuesClass.Create(Stats_, 0);
  try {
    ApplyFilter(Combs_, *stat, values.Values, del, layout ? LayoutTabCaption : CardTabCaption, values.Description,
                FilterLastIndex(Archive_.Count(), Archive_.DrawsOffset()), SortedDraws(), Relay_);
  } catch (const EStopped&) {
    Combs_.RestoreUndo(false);  // the list as it was
    throw;
  }
}

}  // namespace vexa
