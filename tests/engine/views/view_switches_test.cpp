// The views' switches are stored the moment they change; their window
// lengths go to the file with the window's exit state; the repeats window
// keeps its own section.
#include <gtest/gtest.h>

#include <fstream>

#include "core/error.h"
#include "core/settings.h"
#include "support/workspace_fixture.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

struct ViewSwitches : public test::TSmallListWorkspace {
  void SetUp() override { Reopen({}); }
  std::filesystem::path Frm() const { return ws->DataFile(WindowSettingsFileExt); }
  TMainWindowSettings Stored() const { return ReadMainWindowSettings(Frm()); }
};

TEST_F(ViewSwitches, EachToggleFlipsItsFlagAndStoresItAtOnce) {
  struct TCase {
    const char* Name;
    void (TWorkspace::*Toggle)();
    bool TMainWindowSettings::*Field;
  };
  const TCase cases[] = {
      {"ColorCard", &TWorkspace::ViewColorCard, &TMainWindowSettings::ColorCard},
      {"ColorCardSequences", &TWorkspace::ViewColorCardSequences, &TMainWindowSettings::ColorCardSequences},
      {"LayoutGradient", &TWorkspace::ViewShemaGradient, &TMainWindowSettings::LayoutGradient},
      {"TabGraphs", &TWorkspace::TabGraps, &TMainWindowSettings::TabGraphs},
      {"TabCard", &TWorkspace::TabCard, &TMainWindowSettings::TabCard},
      {"TabLayout", &TWorkspace::TabLayout, &TMainWindowSettings::TabLayout},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_TRUE(ws->Window().*c.Field) << "on by default";
    (ws.get()->*c.Toggle)();
    EXPECT_FALSE(ws->Window().*c.Field);
    EXPECT_FALSE(Stored().*c.Field);
    (ws.get()->*c.Toggle)();
    EXPECT_TRUE(ws->Window().*c.Field);
    EXPECT_TRUE(Stored().*c.Field);
    EXPECT_FALSE(ws->IsBusy());
  }
  // The card's colour options follow the flags.
  ws->ViewColorCardSequences();
  EXPECT_FALSE(ws->CardColorOptions().ColorCardSequences);
  EXPECT_TRUE(ws->CardColorOptions().ColorCard);
}

TEST_F(ViewSwitches, LengthsAreKeptForTheExitStoreAndNeverBelowOne) {
  TWorkspace::TViewLengths l;
  l.LayoutLen = 250;
  l.Compare = {10, 20, 0, 40, -5};
  l.DrawsGraphLen = 77;
  l.LayoutCompareHeight = 300;
  ws->SetViewLengths(l);
  const TWorkspace::TViewLengths back = ws->ViewLengths();
  EXPECT_EQ(back.LayoutLen, 250);
  EXPECT_EQ(back.Compare, (TCompareLengths{10, 20, 1, 40, 1}));
  EXPECT_EQ(back.DrawsGraphLen, 77);
  EXPECT_EQ(back.LayoutCompareHeight, 300);
  EXPECT_EQ(Stored().LayoutLen, 100) << "not written before the exit";
  ws->SaveWindowState({});
  const TMainWindowSettings s = Stored();
  EXPECT_EQ(s.LayoutLen, 250);
  EXPECT_EQ(s.LayoutCompareLen1, 10);
  EXPECT_EQ(s.LayoutCompareLen3, 1);
  EXPECT_EQ(s.LayoutCompareLen5, 1);
  EXPECT_EQ(s.DrawsGraphLen, 77);
  EXPECT_EQ(s.LayoutCompareHeight, 300);
}

TEST_F(ViewSwitches, RepeatsWindowSectionRoundTrips) {
  EXPECT_EQ(ws->RepeatsWindow().DrawsLength, 100);
  EXPECT_EQ(ws->RepeatsWindow().DrawsDeep, 100);
  ws->SaveRepeatsWindow({140, 30, 1});
  const TRepeatsWindowSettings s = ws->RepeatsWindow();
  EXPECT_EQ(s.GraphHeight, 140);
  EXPECT_EQ(s.DrawsLength, 30);
  EXPECT_EQ(s.DrawsDeep, 1);
  EXPECT_FALSE(ws->IsBusy());
}

TEST_F(ViewSwitches, RepeatsLengthsFromADamagedFileAreAtLeastOne) {
  {
    std::ofstream f(Frm(), std::ios::app | std::ios::binary);
    f << "[TFormRepeats]\r\nDrawsLength=0\r\nDrawsDeep=-4\r\n";
  }
  const TRepeatsWindowSettings s = ws->RepeatsWindow();
  EXPECT_EQ(s.DrawsLength, 1);
  EXPECT_EQ(s.DrawsDeep, 1);
}

TEST_F(ViewSwitches, ComparisonListsKeepTheirColumnsAndSort) {
  TListColumns a;
  a.Widths = {61, 140};
  a.Sort = std::array<int32_t, 2>{1, 0};
  TListColumns b;
  b.Widths = {50, 90};
  b.Sort = std::array<int32_t, 2>{0, 1};
  ws->SaveListsColumns({{"lvLayoutCmp1", a}, {"lvLayoutCmp5", b}});
  for (const auto& [name, saved] : {std::pair{"lvLayoutCmp1", a}, std::pair{"lvLayoutCmp5", b}}) {
    TListColumns back;
    back.Widths = {1, 1};
    back.Sort = std::array<int32_t, 2>{-1, 0};
    ws->ReadListColumns(name, back);
    EXPECT_EQ(back.Widths, saved.Widths) << name;
    EXPECT_EQ(back.Sort, saved.Sort) << name;
  }
  // The exit store that follows keeps them.
  ws->SaveWindowState({});
  TListColumns back;
  back.Widths = {1, 1};
  ws->ReadListColumns("lvLayoutCmp1", back);
  EXPECT_EQ(back.Widths, a.Widths);
}

TEST_F(ViewSwitches, GraphWindowKeepsItsPlacementForItsScreen) {
  const TScreenMetrics screen{1280, 1024, 96};
  EXPECT_FALSE(ws->GraphWindowPlacement(screen).Found);
  TWindowPlacement p;
  p.NormPos = {100, 120, 900, 700};
  ws->SaveGraphWindowPlacement(p, screen);
  const TRestoredPlacement back = ws->GraphWindowPlacement(screen);
  ASSERT_TRUE(back.Found);
  ASSERT_TRUE(back.NormPos.has_value());
  EXPECT_EQ(*back.NormPos, p.NormPos);
  EXPECT_FALSE(ws->GraphWindowPlacement({1280, 1024, 120}).NormPos.has_value()) << "another resolution";
  EXPECT_FALSE(ws->WindowPlacement(screen).Found) << "the main window's section is its own";
}

}  // namespace
}  // namespace vexa
