// The series of the three stake graphs, read from the stakes file: profit
// per draw (with the mean and the running total), and the overlap or profit
// of every checked stake of chosen origins over the last 100 draws that have
// checked stakes. Money is in currency units (amount / 10000).
#pragma once

#include <string>
#include <vector>

#include "stakes/ratings.h"
#include "stakes/stakes_file.h"

namespace vexa {

inline constexpr const char* StakesGraphDrawsCaption = "График суммарного профита ставок по тиражам";
inline constexpr const char* StakesGraphOverlapCaption = "График количества совпадений для всех ставок по тиражам";
inline constexpr const char* StakesGraphProfitsCaption = "График профита для всех ставок по тиражам";
inline constexpr const char* StakesGraphTooFewDraws =
    "Для построения графиков необходимо, чтобы в выделенном диапазоне данных было более одного тиража!";
inline constexpr const char* StakesGraphStatus = "Создание графиков...";
inline constexpr const char* DrawProfitSeriesTitle = "Суммарный профит ставок по тиражу";
inline constexpr const char* MeanProfitSeriesTitle = "Среднее значение";
inline constexpr const char* RunningProfitSeriesTitle = "Накопленное значение";
inline constexpr int StakesGraphDrawsBack = 100;

// StakesGraphDraws: the three series; throws EVexaError(StakesGraphTooFewDraws)
// when no record is for a draw.
std::vector<TGraphSeries> StakesGraphDraws(const TStakesFile& stakes);
// StakesGraphOverlap (profit false) and StakesGraphProfits (profit true):
// one series per origin met, named as the origin; throws the same error
// without names or with fewer than two draws of checked stakes.
std::vector<TGraphSeries> StakesGraphByOrigin(const TStakesFile& stakes, const std::vector<std::string>& names,
                                              bool profit);

}  // namespace vexa
