#include "views/graphs.h"

#include <algorithm>
#include <cmath>

#include "core/format.h"
#include "stats/stat.h"

namespace vexa {
namespace {

bool SameTitle(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

TViewSeries LineSeries(std::string title, TRgb color) {
  TViewSeries s;
  s.Title = std::move(title);
  s.Color = color;
  return s;
}

int FirstOfWindow(int last, int length) {
  return static_cast<int>(std::clamp<int64_t>(int64_t{last} - length + 1, 0, std::max(last, 0)));
}

}  // namespace

void TGraphWindow::AddGraphPoint(int32_t x, std::string_view title, double y, bool markers, bool marks, TRgb color) {
  auto it = std::find_if(Series_.begin(), Series_.end(), [&](const TViewSeries& s) { return SameTitle(s.Title, title); });
  if (it == Series_.end()) {
    TViewSeries s;
    s.Title = std::string(title);
    s.HasColor = color != TRgb{};
    s.Color = color;
    s.Markers = markers;
    s.MarkerSize = 3;
    s.Marks = marks;
    Series_.push_back(std::move(s));
    it = Series_.end() - 1;
  }
  it->Points.push_back({x, y, std::to_string(x)});
}

TDrawsGraph BuildDrawsGraph(TCustomStat& stat, std::string_view title, const TDrawsArray& draws, int drawsOffset,
                            int length, bool sorted, bool showMarks) {
  TDrawsGraph g;
  const int last = static_cast<int>(draws.size()) - 1 - drawsOffset;
  if (draws.empty() || last < 0 || last >= static_cast<int>(draws.size()) || length < 1) return g;
  g.Last = last;
  g.First = FirstOfWindow(last, length);

  TViewSeries values = LineSeries(std::string(title), {0, 128, 0});
  values.Markers = true;
  values.MarkerSize = 2;
  values.HasMarkerColor = true;
  values.MarkerColor = {255, 0, 255};
  values.Marks = showMarks;
  double total = 0;
  for (int i = g.First; i <= last; ++i) {
    const int32_t v = stat.GraphValueOfDraw(i, last, sorted);
    const int32_t number = draws[static_cast<size_t>(i)].Number;
    values.Points.push_back({number, static_cast<double>(v), std::to_string(number)});
    AddStatSimple(g.ValueCounts, v, 1);
    total += v;
  }
  const int n = last - g.First + 1;
  g.Mean = total / n;
  // The first of the most frequent values in order of appearance: the oldest.
  const TStatSimple* best = &g.ValueCounts.front();
  for (const TStatSimple& p : g.ValueCounts)
    if (p.Count > best->Count) best = &p;
  g.MostFrequent = best->Key;

  TViewSeries mean = LineSeries(MeanSeriesTitle, {0, 0, 255});
  TViewSeries frequent = LineSeries(MostFrequentSeriesTitle, {255, 0, 0});
  for (int i = g.First; i <= last; ++i) {
    const int32_t number = draws[static_cast<size_t>(i)].Number;
    mean.Points.push_back({number, g.Mean, ""});
    frequent.Points.push_back({number, static_cast<double>(g.MostFrequent), ""});
  }
  g.Series = {std::move(values), std::move(mean), std::move(frequent)};
  return g;
}

TRepeatsAnalysis AnalyzeRepeats(const TDrawsArray& draws, int drawsLength, int deep, std::mt19937& random,
                                TUserInterface& ui) {
  TRepeatsAnalysis r;
  ui.SetStatus(RepeatsStatus);
  const int last = static_cast<int>(draws.size()) - 1;
  if (last < 0 || drawsLength < 1) return r;
  const int first = FirstOfWindow(last, drawsLength);
  for (int p = last; p >= first; --p) {
    const size_t rowsOfDraw = r.Rows.size();
    const int stop = static_cast<int>(std::max<int64_t>(0, int64_t{p} - deep));
    for (int j = p - 1; j >= stop; --j) {
      const int k = CommonCount(draws[static_cast<size_t>(p)], draws[static_cast<size_t>(j)]);
      r.MaxMatches = std::max(r.MaxMatches, k);
      if (k == 0) continue;
      const std::string number = std::to_string(draws[static_cast<size_t>(j)].Number);
      auto row = std::find_if(r.Rows.begin() + static_cast<std::ptrdiff_t>(rowsOfDraw), r.Rows.end(),
                              [&](const TRepeatsRow& x) { return x.Matches == k; });
      if (row == r.Rows.end()) {
        r.Rows.push_back({draws[static_cast<size_t>(p)].Number, k, 1, number});
      } else {
        ++row->Repeats;
        (row->Draws += ' ') += number;
      }
    }
  }

  ui.SetStatus(RepeatsGraphStatus);
  std::uniform_int_distribution<int> channel(0, 255);
  const auto randomColor = [&] {
    TRgb c;
    c.R = static_cast<uint8_t>(channel(random));
    c.G = static_cast<uint8_t>(channel(random));
    c.B = static_cast<uint8_t>(channel(random));
    return c;
  };
  for (int k = 1; k <= r.MaxMatches; ++k) {
    TViewSeries s = LineSeries(Format(RepeatsSeriesFormat, {k}), randomColor());
    s.Markers = true;
    s.MarkerSize = 2;
    s.HasMarkerColor = true;
    s.MarkerColor = randomColor();
    r.Series.push_back(std::move(s));
  }
  for (auto row = r.Rows.rbegin(); row != r.Rows.rend(); ++row)
    r.Series[static_cast<size_t>(row->Matches - 1)].Points.push_back(
        {row->Draw, static_cast<double>(row->Repeats), std::to_string(row->Draw)});
  return r;
}

TSumsDistribution TotalSumCombs(const TDrawsArray& draws) {
  TSumsDistribution d;
  // Six nested ascending choices; the counts go to a table by sum first
  // (the pairs come out sorted by sum either way).
  std::array<int32_t, 256> bySum{};
  for (int a = 1; a <= MaxNumber - 5; ++a)
    for (int b = a + 1; b <= MaxNumber - 4; ++b)
      for (int c = b + 1; c <= MaxNumber - 3; ++c)
        for (int e = c + 1; e <= MaxNumber - 2; ++e) {
          const int base = a + b + c + e;
          for (int f = e + 1; f <= MaxNumber - 1; ++f)
            for (int g = f + 1; g <= MaxNumber; ++g) ++bySum[static_cast<size_t>(base + f + g)];
        }
  for (size_t s = 0; s < bySum.size(); ++s)
    if (bySum[s] > 0) d.Theoretical.push_back({static_cast<int32_t>(s), bySum[s]});

  for (const TDraw& draw : draws) {
    int32_t sum = 0;
    for (uint8_t n : draw.Nums) sum += n;
    AddStatSimple(d.Actual, sum, 1);
  }
  SortStatSimple(d.Actual);

  d.MaxT = d.Theoretical.front().Count;
  d.MinT = d.MaxT;
  for (const TStatSimple& p : d.Theoretical) {
    d.MaxT = std::max(d.MaxT, p.Count);
    d.MinT = std::min(d.MinT, p.Count);
  }
  for (const TStatSimple& p : d.Actual) d.MaxA = std::max(d.MaxA, p.Count);

  const double span = static_cast<double>(d.MaxT) - d.MinT + 1;
  const std::array<double, 3> levels{d.MinT + span / 3, d.MinT + span / 2, d.MinT + (2 * span) / 3};
  const size_t len = d.Theoretical.size();
  for (size_t f = 0; f < levels.size(); ++f) {
    TSumLevel& level = d.Levels[f];
    level.Level = static_cast<int32_t>(std::trunc(levels[f]));
    for (size_t i = 0; i <= len / 2; ++i)
      if (d.Theoretical[i].Count >= level.Level) {
        level.Low = d.Theoretical[i].Key;
        break;
      }
    for (size_t i = len; i-- > len / 2;)
      if (d.Theoretical[i].Count >= level.Level) {
        level.High = d.Theoretical[i].Key;
        break;
      }
  }

  for (const TStatSimple& p : d.Actual) d.Graph.AddGraphPoint(p.Key, ActualSumsTitle, p.Count, true, true, {255, 0, 0});
  static constexpr std::array<const char*, 3> Fractions{"1/3", "1/2", "2/3"};
  static constexpr std::array<TRgb, 3> LevelColors{TRgb{0, 128, 0}, TRgb{0, 0, 255}, TRgb{255, 0, 255}};
  std::array<std::string, 3> titles;
  for (size_t f = 0; f < titles.size(); ++f)
    titles[f] = Format(SumLevelFormat, {static_cast<int>(f + 1), Fractions[f], d.Levels[f].Low, d.Levels[f].High});
  // c / maxT * maxA in this order, so that the peak is exactly maxA.
  const auto scaled = [&](int32_t c) { return static_cast<double>(c) / d.MaxT * d.MaxA; };
  for (const TStatSimple& p : d.Theoretical) {
    d.Graph.AddGraphPoint(p.Key, TheoreticalSumsTitle, scaled(p.Count), false, false, {128, 0, 0});
    for (size_t f = 0; f < titles.size(); ++f)
      d.Graph.AddGraphPoint(p.Key, titles[f], scaled(d.Levels[f].Level), false, false, LevelColors[f]);
  }
  return d;
}

}  // namespace vexa
