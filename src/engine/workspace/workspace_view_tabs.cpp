// The analysis views' switches and window lengths: the colour flags and the
// tabs' visibility are stored when they change, the lengths at exit.
#include <algorithm>

#include "workspace/workspace.h"

namespace vexa {

void TWorkspace::ViewColorCard() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("ColorCard", !Window_.ColorCard, Window_.ColorCard);
}

void TWorkspace::ViewColorCardSequences() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("ColorCardSequences", !Window_.ColorCardSequences, Window_.ColorCardSequences);
}

void TWorkspace::ViewShemaGradient() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("LayoutGradient", !Window_.LayoutGradient, Window_.LayoutGradient);
}

void TWorkspace::TabGraps() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("TabGraphs", !Window_.TabGraphs, Window_.TabGraphs);
}

void TWorkspace::TabCard() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("TabCard", !Window_.TabCard, Window_.TabCard);
}

void TWorkspace::TabLayout() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("TabLayout", !Window_.TabLayout, Window_.TabLayout);
}

TWorkspace::TViewLengths TWorkspace::ViewLengths() const {
  TViewLengths l;
  l.LayoutLen = Window_.LayoutLen;
  l.Compare = {Window_.LayoutCompareLen1, Window_.LayoutCompareLen2, Window_.LayoutCompareLen3,
               Window_.LayoutCompareLen4, Window_.LayoutCompareLen5};
  l.DrawsGraphLen = Window_.DrawsGraphLen;
  l.LayoutCompareHeight = Window_.LayoutCompareHeight;
  return l;
}

void TWorkspace::SetViewLengths(const TViewLengths& lengths) {
  // A length below 1 (a damaged file, a cleared edit) would give an empty window.
  auto len = [](int32_t v) { return std::max<int32_t>(1, v); };
  Window_.LayoutLen = len(lengths.LayoutLen);
  Window_.LayoutCompareLen1 = len(lengths.Compare[0]);
  Window_.LayoutCompareLen2 = len(lengths.Compare[1]);
  Window_.LayoutCompareLen3 = len(lengths.Compare[2]);
  Window_.LayoutCompareLen4 = len(lengths.Compare[3]);
  Window_.LayoutCompareLen5 = len(lengths.Compare[4]);
  Window_.DrawsGraphLen = len(lengths.DrawsGraphLen);
  Window_.LayoutCompareHeight = std::max<int32_t>(0, lengths.LayoutCompareHeight);
}

TRepeatsWindowSettings TWorkspace::RepeatsWindow() const {
  TRepeatsWindowSettings s;
  ReadRepeatsWindowSettings(LoadWindowSettings(DataFile(WindowSettingsFileExt)), s);
  s.DrawsLength = std::max<int32_t>(1, s.DrawsLength);
  s.DrawsDeep = std::max<int32_t>(1, s.DrawsDeep);
  return s;
}

void TWorkspace::SaveRepeatsWindow(const TRepeatsWindowSettings& settings) {
  TOperation op(*this, 0);
  TIniFile frm = LoadWindowSettings(DataFile(WindowSettingsFileExt));
  WriteRepeatsWindowSettings(frm, settings);
  StoreWindowSettings(frm);
}

void TWorkspace::SaveListsColumns(const std::vector<std::pair<std::string, TListColumns>>& lists) {
  TOperation op(*this, 0);
  TIniFile frm = LoadWindowSettings(DataFile(WindowSettingsFileExt));
  for (const auto& [name, columns] : lists) vexa::SaveListColumns(frm, MainWindowSection, name, columns, false);
  StoreWindowSettings(frm);
}

TRestoredPlacement TWorkspace::GraphWindowPlacement(const TScreenMetrics& screen) const {
  return RestoreWindowPlacement(LoadWindowSettings(DataFile(WindowSettingsFileExt)), GraphWindowSection, screen);
}

void TWorkspace::SaveGraphWindowPlacement(const TWindowPlacement& placement, const TScreenMetrics& screen) {
  TOperation op(*this, 0);
  TIniFile frm = LoadWindowSettings(DataFile(WindowSettingsFileExt));
  SaveWindowPlacement(frm, GraphWindowSection, placement, screen);
  StoreWindowSettings(frm);
}

}  // namespace vexa
