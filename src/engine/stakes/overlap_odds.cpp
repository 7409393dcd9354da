#include "stakes/overlap_odds.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/format.h"

namespace vexa {
namespace {

// A distribution on offset, offset+1, ...; entries far below the peak are
// trimmed from both ends (it is unimodal: every factor is log-concave).
struct TDist {
  int64_t Offset = 0;
  std::vector<double> P;
};

// Far enough out that nothing trimmed can show in a p-value's digits.
constexpr double TrimBelow = 1e-30;

void Trim(TDist& d) {
  const double peak = *std::max_element(d.P.begin(), d.P.end());
  const double floor = peak * TrimBelow;
  size_t first = 0;
  while (first + 1 < d.P.size() && d.P[first] < floor) ++first;
  size_t last = d.P.size();
  while (last > first + 1 && d.P[last - 1] < floor) --last;
  d.P.erase(d.P.begin() + static_cast<std::ptrdiff_t>(last), d.P.end());
  d.P.erase(d.P.begin(), d.P.begin() + static_cast<std::ptrdiff_t>(first));
  d.Offset += static_cast<int64_t>(first);
}

TDist Multiply(const TDist& a, const TDist& b) {
  TDist r;
  r.Offset = a.Offset + b.Offset;
  r.P.assign(a.P.size() + b.P.size() - 1, 0.0);
  for (size_t i = 0; i < a.P.size(); ++i) {
    const double x = a.P[i];
    double* out = r.P.data() + i;
    for (size_t j = 0; j < b.P.size(); ++j) out[j] += x * b.P[j];
  }
  Trim(r);
  return r;
}

TDist Power(const TDist& base, int64_t n) {
  TDist result{0, {1.0}};
  TDist square = base;
  while (n > 0) {
    if ((n & 1) != 0) result = Multiply(result, square);
    n >>= 1;
    if (n > 0) square = Multiply(square, square);
  }
  return result;
}

long double MeanAt(const TMatchProbabilities& p, long double theta) {
  long double m = 0;
  long double s = 0;
  for (int k = 0; k <= MainCount; ++k) {
    const long double w = p[static_cast<size_t>(k)] * std::exp(theta * k);
    m += k * w;
    s += w;
  }
  return m / s;
}

}  // namespace

const TMatchProbabilities& MatchProbabilities() {
  static const TMatchProbabilities table = [] {
    TMatchProbabilities p{};
    for (int k = 0; k <= MainCount; ++k)
      p[static_cast<size_t>(k)] = static_cast<long double>(CountWithMatches(k)) / AllCombsCount;
    return p;
  }();
  return table;
}

long double OverlapPValue(int64_t checks, int64_t matchSum) {
  if (checks <= 0 || checks > OverlapPValueMaxChecks) return std::numeric_limits<long double>::quiet_NaN();
  if (matchSum <= 0) return 1;
  const TMatchProbabilities& p = MatchProbabilities();
  const int64_t top = MainCount * checks;
  if (matchSum > top) return 0;
  if (matchSum == top) return std::exp(static_cast<long double>(checks) * std::log(p[MainCount]));

  long double mean = 0;
  for (int k = 0; k <= MainCount; ++k) mean += k * p[static_cast<size_t>(k)];
  // Far below the mean the lower tail is the small number to compute.
  const bool upper = static_cast<long double>(matchSum) >= mean * checks;
  const int64_t bound = upper ? matchSum : matchSum - 1;
  if (!upper && bound == 0) return 1 - std::exp(static_cast<long double>(checks) * std::log(p[0]));

  // Tilt every overlap by e^(theta k) so that the bound becomes the mean:
  // P(S = s) = M^n e^(-theta s) P~(S = s), and P~ is well scaled around it.
  const long double target = static_cast<long double>(bound) / checks;
  long double lo = -64;
  long double hi = 64;
  for (int i = 0; i < 200 && hi - lo > 1e-15L; ++i) {
    const long double mid = (lo + hi) / 2;
    (MeanAt(p, mid) < target ? lo : hi) = mid;
  }
  const long double theta = (lo + hi) / 2;
  long double m = 0;
  for (int k = 0; k <= MainCount; ++k) m += p[static_cast<size_t>(k)] * std::exp(theta * k);
  TDist base;
  for (int k = 0; k <= MainCount; ++k)
    base.P.push_back(static_cast<double>(p[static_cast<size_t>(k)] * std::exp(theta * k) / m));

  // S = A + B with A, B of about n/2 stakes each; the tail of A + B needs
  // only one pass over A with running sums of B.
  const int64_t half = checks / 2;
  const TDist a = Power(base, half);
  const TDist b = Power(base, checks - half);
  // w[j] = sum of B's entries on the tail side of j, each weighted e^(-theta (s - bound)) relative to j.
  const size_t nb = b.P.size();
  std::vector<long double> tailB(nb + 1, 0);
  if (upper) {
    for (size_t j = nb; j-- > 0;) tailB[j] = b.P[j] + tailB[j + 1] * std::exp(-theta);
  } else {
    for (size_t j = 0; j < nb; ++j) tailB[j + 1] = b.P[j] + (j > 0 ? tailB[j] * std::exp(theta) : 0);
  }
  long double sum = 0;
  for (size_t i = 0; i < a.P.size(); ++i) {
    const int64_t si = a.Offset + static_cast<int64_t>(i);
    // B's index where si + sb == bound.
    const int64_t j = bound - si - b.Offset;
    long double part = 0;
    if (upper) {
      // sum over sb >= bound - si of b e^(-theta (si + sb - bound))
      const int64_t from = std::max<int64_t>(j, 0);
      if (from < static_cast<int64_t>(nb))
        part = tailB[static_cast<size_t>(from)] *
               std::exp(-theta * static_cast<long double>(si + b.Offset + from - bound));
    } else {
      // sum over sb <= bound - si of b e^(-theta (si + sb - bound))
      const int64_t to = std::min<int64_t>(j, static_cast<int64_t>(nb) - 1);
      if (to >= 0)
        part = tailB[static_cast<size_t>(to) + 1] *
               std::exp(-theta * static_cast<long double>(si + b.Offset + to - bound));
    }
    sum += a.P[i] * part;
  }
  if (sum <= 0) return upper ? 0 : 1;
  const long double logTail = checks * std::log(m) - theta * bound + std::log(sum);
  const long double tail = std::exp(logTail);
  return upper ? tail : 1 - tail;
}

std::string PValueText(long double p) {
  if (std::isnan(p)) return "";
  if (p >= 1) return "1";
  if (p <= 0) return "0";
  if (p >= 0.001L) return Format("%.4f", {static_cast<double>(p)});
  int exponent = static_cast<int>(std::floor(std::log10(p)));
  long double mantissa = p / std::pow(10.0L, exponent);
  if (mantissa >= 9.995L) {
    mantissa /= 10;
    ++exponent;
  }
  return Format("%.2fe%d", {static_cast<double>(mantissa), exponent});
}

}  // namespace vexa
