// The chart views: the tab "Графики" (one statistic's value per draw with
// its mean and most frequent value), the repeats analysis `AnalyzeRepeats`
// and the sums distribution `TotalSumCombs`. Each gives the data of its
// series (points, titles, colours, styles); a charting component draws them.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/records.h"
#include "core/user_interface.h"
#include "views/view_color.h"

namespace vexa {

class TCustomStat;

inline constexpr const char* DrawsGraphStatus = "Анализ тиражей и построение графиков...";
inline constexpr const char* MeanSeriesTitle = "Среднее значение";
inline constexpr const char* MostFrequentSeriesTitle = "Наиболее часто встречающееся значение";
inline constexpr const char* RepeatsCaption = "Количество повторов в зависимости от тиража";
inline constexpr const char* RepeatsStatus = "Идет сбор статистики....";
inline constexpr const char* RepeatsGraphStatus = "Создание графиков...";
inline constexpr const char* RepeatsSeriesFormat = "Совпадений: %d";
inline constexpr const char* SumsCaption = "Распределение сумм тиражей и всех возможных комбинаций";
inline constexpr const char* SumsStatus = "Идет сбор статистики....";
inline constexpr const char* ActualSumsTitle = "Фактическое распределение сумм (по тиражам)";
inline constexpr const char* TheoreticalSumsTitle = "Теоретическое распределение сумм (по комбинациям)";
inline constexpr const char* SumLevelFormat = "Диапазон %d (от %s и выше по оси Y) - суммы %d-%d";

struct TViewPoint {
  int32_t X = 0;
  double Y = 0;
  std::string Label;  // "" for none
  bool operator==(const TViewPoint&) const = default;
};

struct TViewSeries {
  std::string Title;
  bool HasColor = true;  // false: the chart's own colour
  TRgb Color;
  int LineWidth = 2;
  bool Markers = false;  // point markers visible
  int MarkerSize = 0;    // width and height in pixels
  bool HasMarkerColor = false;
  TRgb MarkerColor;      // outline of the markers
  bool Marks = false;    // value marks visible (the value, no frame)
  bool Visible = true;
  std::vector<TViewPoint> Points;
};

// The graph window's series and its one operation.
class TGraphWindow {
 public:
  // The series of this title (ASCII letters compared without case) or a
  // new one: line width 2, markers 3 x 3 when `markers`, marks when
  // `marks`, `color` unless it is black (0, 0, 0). Then the point (x, y)
  // labelled with x in decimal.
  void AddGraphPoint(int32_t x, std::string_view title, double y, bool markers, bool marks, TRgb color);
  const std::vector<TViewSeries>& Series() const { return Series_; }

 private:
  std::vector<TViewSeries> Series_;
};

// ---- Tab "Графики" ---------------------------------------------------------------

struct TDrawsGraph {
  int First = 0;   // window: archive indexes First .. Last
  int Last = -1;
  double Mean = 0;
  int32_t MostFrequent = 0;
  TStatSimpleArray ValueCounts;  // in order of first appearance
  // The method's values, the mean, the most frequent value; empty when
  // no draw is analysed.
  std::vector<TViewSeries> Series;
};

// The values `stat` gives the draws of the window of `length` ending at the
// analysis end, oldest first. `title` names series 1 (the method's name);
// `showMarks` is the check box "Отображать метки на графике".
// REQUIRES: stat has a graph (HasGraph).
TDrawsGraph BuildDrawsGraph(TCustomStat& stat, std::string_view title, const TDrawsArray& draws, int drawsOffset,
                            int length, bool sorted, bool showMarks);

// ---- Repeats analysis --------------------------------------------------------------

struct TRepeatsRow {
  int32_t Draw = 0;     // "Тираж"
  int32_t Matches = 0;  // "Совпадений"
  int32_t Repeats = 0;  // "Кол-во повторов"
  std::string Draws;    // "Список тиражей": numbers joined by single blanks
  bool operator==(const TRepeatsRow&) const = default;
};

struct TRepeatsAnalysis {
  std::vector<TRepeatsRow> Rows;  // newest draw first; per draw in order of first meeting of k
  int MaxMatches = 0;
  std::vector<TViewSeries> Series;  // "Совпадений: k" for k = 1 .. MaxMatches
};

// The newest `drawsLength` draws of the whole archive (DrawsOffset does not
// apply), each against the `deep` draws before it. Series colours come from
// `random`. Progress through `ui`.
TRepeatsAnalysis AnalyzeRepeats(const TDrawsArray& draws, int drawsLength, int deep, std::mt19937& random,
                                TUserInterface& ui);

// ---- Sums distribution ----------------------------------------------------------

struct TSumLevel {
  int32_t Level = 0;  // count threshold
  int32_t Low = 0;    // sum range; 0 when no sum reaches the level on that side
  int32_t High = 0;
};

struct TSumsDistribution {
  TStatSimpleArray Theoretical;  // (sum, combinations) for 21 .. 255
  TStatSimpleArray Actual;       // (sum, draws), sums that came only
  int32_t MaxT = 0;
  int32_t MinT = 0;
  int32_t MaxA = 0;
  std::array<TSumLevel, 3> Levels{};  // 1/3, 1/2, 2/3
  TGraphWindow Graph;
};

// Every one of the 8145060 combinations and every draw of the archive.
TSumsDistribution TotalSumCombs(const TDrawsArray& draws);

}  // namespace vexa
