#include "stats/formula.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

namespace vexa {
namespace {

constexpr long double Pi = 3.14159265358979323846264338327950288L;
constexpr long double EulerE = 2.71828182845904523536028747135266250L;

struct TValueCase {
  const char* Text;
  long double Expected;
};

TEST(Formula, EvaluatesNumbersOperatorsAndPrecedence) {
  const TValueCase cases[] = {
      {"1+2*3", 7},         {"(1+2)*3", 9},      {"10-4-3", 3},       {"24/4/2", 3},
      {"2^3^2", 512},       {"-2^2", -4},        {"(-2)^2", 4},       {"2^-1", 0.5L},
      {"--3", 3},           {"+3", 3},           {"2*-3", -6},        {"-(1+2)*2", -6},
      {" 1 +\t2 ", 3},      {"1.5E2", 150},      {"2.5e+1", 25},      {"25E-1", 2.5L},
      {"1,5", 1.5L},        {".5", 0.5L},        {"5.", 5},           {"$FF", 255},
      {"$1e", 30},          {"$10*2", 32},       {"-$A", -10},        {"0.1", 0.1L},
  };
  for (const auto& c : cases) {
    const TFormulaResult r = EvaluateExpression(c.Text);
    EXPECT_TRUE(r.Ok()) << c.Text << ": " << FormulaErrorText(r.Error);
    EXPECT_EQ(r.Value, c.Expected) << c.Text;
  }
}

TEST(Formula, ConstantsAndFunctions) {
  const TValueCase cases[] = {
      {"PI", Pi},           {"pi", Pi},           {"E", EulerE},         {"2*e", 2 * EulerE},
      {"ARCTAN(1)*4", Pi},  {"COS(0)", 1},        {"SIN(PI/2)", 1},      {"TAN(PI/4)", 1},
      {"ABS(-2.5)", 2.5L},  {"EXP(1)", EulerE},   {"LN(E)", 1},          {"LOG(1000)", 3},
      {"LN(1)", 0},         {"SQRT(16)", 4},      {"SQR(-3)", 9},        {"INT(-2.7)", -2},
      {"INT(2.7)", 2},      {"FRAC(-2.75)", -0.75L}, {"FRAC(2.75)", 0.75L}, {"TRUNC(-2.7)", -2},
      {"ROUND(2.5)", 2},    {"ROUND(3.5)", 4},    {"ROUND(-2.5)", -2},   {"ROUND(2.6)", 3},
      {"ARCSIN(1)*2", Pi},  {"ARCCOS(-1)", Pi},   {"SIGN(-7)", -1},      {"SIGN(0)", 0},
      {"SIGN(0.1)", 1},     {"NOT(5)", -6},       {"NOT(-1)", 0},        {"sqrt(sqr(3)+sqr(4))", 5},
      {"Sin(0)+cOs(0)", 1},
  };
  for (const auto& c : cases) {
    const TFormulaResult r = EvaluateExpression(c.Text);
    EXPECT_TRUE(r.Ok()) << c.Text << ": " << FormulaErrorText(r.Error);
    EXPECT_NEAR(static_cast<double>(r.Value), static_cast<double>(c.Expected), 1e-15) << c.Text;
  }
}

TEST(Formula, ErrorsAndTheirTexts) {
  struct TCase {
    const char* Text;
    TFormulaError Error;
  };
  const TCase cases[] = {
      {"1/0", TFormulaError::DivisionByZero},
      {"0/0", TFormulaError::DivisionByZero},
      {"5/(2-2)", TFormulaError::DivisionByZero},
      {"LN(-1)", TFormulaError::LogNegative},
      {"LOG(-0.5)", TFormulaError::LogNegative},
      {"SQRT(-4)", TFormulaError::RootNegative},
      {"LN(0)", TFormulaError::FloatingPoint},
      {"ARCSIN(2)", TFormulaError::FloatingPoint},
      {"EXP(100000)", TFormulaError::FloatingPoint},
      {"1/EXP(20000)", TFormulaError::FloatingPoint},  // the overflow is not hidden by the division
      {"(-8)^(1/3)", TFormulaError::FloatingPoint},
      {"0^-1", TFormulaError::FloatingPoint},
      {"1E99999", TFormulaError::FloatingPoint},
      {"NOT(1E30)", TFormulaError::FloatingPoint},
      {"(1+2", TFormulaError::MissingParen},
      {"SIN(1", TFormulaError::MissingParen},
      {"((1)", TFormulaError::MissingParen},
      {"1+2)", TFormulaError::Syntax},
      {"", TFormulaError::Syntax},
      {"   ", TFormulaError::Syntax},
      {"1+", TFormulaError::Syntax},
      {"*2", TFormulaError::Syntax},
      {"2 3", TFormulaError::Syntax},
      {"(1 2)", TFormulaError::Syntax},
      {"SIN 1", TFormulaError::Syntax},
      {"FOO(1)", TFormulaError::Syntax},
      {"1 # 2", TFormulaError::Syntax},
      {"$", TFormulaError::Syntax},
      {"$G", TFormulaError::Syntax},
      {"2E", TFormulaError::Syntax},
      {"n1+1", TFormulaError::Syntax},  // no variables in a plain expression
      {"1/0 +", TFormulaError::Syntax},  // the text is checked before anything is computed
  };
  for (const auto& c : cases) {
    const TFormulaResult r = EvaluateExpression(c.Text);
    EXPECT_EQ(r.Error, c.Error) << "'" << c.Text << "' gave " << FormulaErrorText(r.Error);
    EXPECT_EQ(r.Value, 0) << c.Text;
  }
  EXPECT_EQ(FormulaErrorText(TFormulaError::None), "");
  EXPECT_EQ(FormulaErrorText(TFormulaError::FloatingPoint), "Ошибка в операции с плавающей точкой");
  EXPECT_EQ(FormulaErrorText(TFormulaError::LogNegative), "Выражение под логарифмом меньне нуля");
  EXPECT_EQ(FormulaErrorText(TFormulaError::RootNegative), "Выражение под корнем меньне нуля");
  EXPECT_EQ(FormulaErrorText(TFormulaError::DivisionByZero), "Деление на нуль");
  EXPECT_EQ(FormulaErrorText(TFormulaError::MissingParen), "Не хватает скобочки");
  EXPECT_EQ(FormulaErrorText(TFormulaError::Syntax), "Синтаксическая ошибка");
}

TFormulaVars Vars() {
  // n = 5 12 23 31 40 44, p = 1 2 3 4 5 6, t = 0 0 0 0 0 45
  return FormulaVars({5, 12, 23, 31, 40, 44}, {1, 2, 3, 4, 5, 6}, {0, 0, 0, 0, 0, 45});
}

TEST(Formula, SubstitutesVariablesAsText) {
  const TFormulaVars v = Vars();
  EXPECT_EQ(SubstituteFormulaVars("(n1+N2)/p6-T6", v), "(5+12)/6-45");
  EXPECT_EQ(SubstituteFormulaVars("n12+n7+n0", v), "52+n7+n0");
  // n1 becomes "5", then p5 is replaced in turn.
  EXPECT_EQ(SubstituteFormulaVars("pn1", v), "5");
  // n2 becomes "12" after the turn of p1 has passed: "p12" stays.
  EXPECT_EQ(SubstituteFormulaVars("pn2", v), "p12");
}

TEST(Formula, CompiledFormulaNeedsNoText) {
  const TFormula f("(n1+n2+n3)/(n4+n5+n6)");
  EXPECT_TRUE(f.IsCompiled());
  const TFormulaResult r = f.Evaluate(FormulaVars({1, 2, 3, 4, 5, 6}, {}, {}));
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.Value, 6.0L / 15.0L);
  EXPECT_EQ(f.Evaluate(FormulaVars({1, 2, 3, 0, 0, 0}, {}, {})).Error, TFormulaError::DivisionByZero);
  EXPECT_EQ(TFormula().Evaluate(Vars()).Error, TFormulaError::Syntax);
  EXPECT_EQ(TFormula("(n1+n2").Evaluate(Vars()).Error, TFormulaError::MissingParen);
}

TEST(Formula, GluedVariablesKeepTheirTextMeaning) {
  struct TCase {
    const char* Text;
    long double Expected;
  };
  const TCase cases[] = {
      {"n12+1", 53},       // "52+1"
      {"1E-n1*1E5", 1},    // "1E-5*1E5"
      {"n1.5*2", 11},      // "5.5*2"
      {"$n1+$A", 15},      // "$5+$A"
      {"pn1", 5},          // "p5" -> "5"
      {"n1n2", 512},       // "512"
  };
  for (const auto& c : cases) {
    const TFormula f(c.Text);
    EXPECT_FALSE(f.IsCompiled()) << c.Text;
    const TFormulaResult r = f.Evaluate(Vars());
    EXPECT_TRUE(r.Ok()) << c.Text << ": " << FormulaErrorText(r.Error);
    EXPECT_NEAR(static_cast<double>(r.Value), static_cast<double>(c.Expected), 1e-12) << c.Text;
  }
}

// The compiled program gives exactly what evaluating the substituted text
// gives, errors included.
TEST(Formula, CompiledEqualsSubstitutedText) {
  const char* formulas[] = {
      "(n1+n2+n3)/(n4+n5+n6)", "(n4+n5+n6)/(n1+n2+n3)", "(n1+n3+n5)/(n2+n4+n6)",
      "SQRT(n1*p1)-t6^2/(n2-n3)", "LN(n1-p1)+LOG(t2)", "-n1^2+p2^-t3", "n1-n2*-t3",
      "FRAC(PI*n1/(p2+1))", "1e-3*n5+$A*n2", "EXP(n6)*EXP(n5)/E", "ROUND(n1/2)+TRUNC(p1/3)+NOT(t1)",
      "ARCSIN(n1/45)+ARCCOS(p1/45)+ARCTAN(t1)", "SIGN(n1-p1)*ABS(n2-p2)", "SQR(n1+N2)/(P3*T4)",
      "(n1+n2", "n1 n2", "COS(n1)*SIN(p1)+TAN(t1)", "n1/(p1-p1)",
  };
  std::mt19937 rng(7);
  for (const char* text : formulas) {
    const TFormula f(text);
    ASSERT_TRUE(f.IsCompiled()) << text;
    for (int k = 0; k < 200; ++k) {
      TFormulaVars v{};
      for (auto& x : v) x = static_cast<uint8_t>(rng() % 46);
      const TFormulaResult a = f.Evaluate(v);
      const TFormulaResult b = EvaluateExpression(SubstituteFormulaVars(text, v));
      ASSERT_EQ(a.Error, b.Error) << text;
      ASSERT_EQ(a.Value, b.Value) << text;
    }
  }
}

// Where a formula offers a table, its slot alone decides the result.
TEST(Formula, MemoSlotsDecideTheResult) {
  struct TCase {
    const char* Text;
    size_t Size;
  };
  const TCase cases[] = {
      {"(n1+n2+n3)/(n4+n5+n6)", 136 * 136},  // two sums of 0..135
      {"n1/7", 46},
      {"SQRT(n1)*p2-t3/2", 46 * 46 * 46},
      {"(n1-n2)/(p1*p2+0.5)", 91 * 2026},
      {"1/3", 1},
      {"-n1^2", 46},
      {"n1+n2", 91},
      {"n1*n2*n3/(n4*n5*n6)", 0},  // two inputs of 0..91125: no table
      {"n1+n2+n3+p1+p2/(t1+t2+t3+t4)", 0},  // 181 * 46 * 181 slots: too many
  };
  std::mt19937 rng(3);
  for (const auto& c : cases) {
    const TFormula f(c.Text);
    ASSERT_EQ(f.MemoSize(), c.Size) << c.Text;
    if (c.Size == 0) continue;
    std::map<size_t, TFormulaResult> seen;
    for (int k = 0; k < 3000; ++k) {
      TFormulaVars v{};
      for (auto& x : v) x = static_cast<uint8_t>(rng() % 46);
      if (k % 2 == 0) v[0] = v[1];  // collisions in the first sums
      size_t slot = 0;
      ASSERT_TRUE(f.MemoSlot(v, slot)) << c.Text;
      ASSERT_LT(slot, f.MemoSize());
      const TFormulaResult r = f.Evaluate(v);
      const auto [it, fresh] = seen.emplace(slot, r);
      if (!fresh) {
        ASSERT_EQ(it->second.Error, r.Error) << c.Text;
        ASSERT_EQ(it->second.Value, r.Value) << c.Text;
      }
    }
  }
  // Slots in mixed radix, the last input fastest; the sums are linear, the
  // product p1*p2 is not, and both ways agree.
  const TFormulaVars v5 = FormulaVars({5, 12, 23, 31, 40, 44}, {1, 2, 3, 4, 5, 6}, {0, 0, 0, 0, 0, 45});
  struct TSlotCase {
    const char* Text;
    size_t Slot;
  };
  const TSlotCase slots[] = {
      {"(n1+n2+n3)/(n4+n5+n6)", 136 * 40 + 115},
      {"n1+n2", 17},
      {"SQRT(n1)*p2-t3/2", 46 * 46 * 5 + 46 * 2 + 0},
      {"(n1-n2)/(p1*p2+0.5)", 91 * 2 + (5 - 12 + 45)},
      {"-n1^2", 5},
  };
  for (const auto& c : slots) {
    size_t slot = 0;
    ASSERT_TRUE(TFormula(c.Text).MemoSlot(v5, slot)) << c.Text;
    EXPECT_EQ(slot, c.Slot) << c.Text;
  }

  int64_t base = -1;
  std::array<int64_t, FormulaVarCount> weights{};
  ASSERT_TRUE(TFormula("(n1+n2+n3)/(n4-n5-n6+90)").LinearMemoSlot(base, weights));
  // Inputs 0..135 each: slot = 136 * (n1+n2+n3) + (n4-n5-n6+90).
  EXPECT_EQ(base, 90);
  EXPECT_EQ(weights, (std::array<int64_t, FormulaVarCount>{136, 136, 136, 1, -1, -1}));
  EXPECT_FALSE(TFormula("(n1-n2)/(p1*p2+0.5)").LinearMemoSlot(base, weights));

  // A byte beyond the numbers leaves the table.
  TFormulaVars v{};
  v[0] = 200;
  size_t slot = 0;
  EXPECT_FALSE(TFormula("n1/7").MemoSlot(v, slot));
  EXPECT_EQ(TFormula("n1/7").Evaluate(v).Value, 200.0L / 7);
  EXPECT_EQ(TFormula("n12/7").MemoSize(), 0u);  // substituted as text: no table
}

TEST(Formula, DeepNestingOutgrowsTheLocalStack) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "1+(";
  text += "n1";
  text += std::string(60, ')');
  const TFormula f(text);
  const TFormulaResult r = f.Evaluate(Vars());
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.Value, 65);
}

// A hostile settings file must not run the parser out of stack: nesting
// past the limit is a syntax error, just under it still computes.
TEST(Formula, NestingIsLimited) {
  struct TCase {
    std::string Text;
    bool Ok;
  };
  auto parens = [](size_t n) { return std::string(n, '(') + "n1" + std::string(n, ')'); };
  auto calls = [](size_t n) {
    std::string t;
    for (size_t i = 0; i < n; ++i) t += "abs(";
    return t + "n1" + std::string(n, ')');
  };
  const TCase cases[] = {
      {parens(MaxFormulaDepth - 1), true},
      {parens(MaxFormulaDepth), false},
      {parens(40000), false},
      {std::string(40000, '('), false},
      {std::string(200000, '-') + "n1", false},
      {std::string(MaxFormulaDepth - 1, '-') + "n1", true},
      {calls(MaxFormulaDepth - 1), true},
      {calls(100000), false},
      {"2" + std::string(100000, '^') + "2", false},
  };
  for (const TCase& c : cases) {
    const TFormulaResult r = TFormula(c.Text).Evaluate(Vars());
    EXPECT_EQ(r.Ok(), c.Ok) << c.Text.substr(0, 40) << "... of " << c.Text.size();
    if (!c.Ok) {
      EXPECT_EQ(r.Error, TFormulaError::Syntax);
      EXPECT_EQ(FormulaErrorText(r.Error), "Синтаксическая ошибка");
    }
    EXPECT_EQ(EvaluateExpression(c.Text).Ok(), false) << "n1 is no variable here";
  }
}

}  // namespace
}  // namespace vexa
