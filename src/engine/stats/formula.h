// Arithmetic expressions of the shredding formulas, in extended precision.
//
// Syntax: decimal numbers with an optional fractional part ("." or ",") and
// exponent ("1.5E-3"), hexadecimal integers after "$" ("$1F"), the constants
// E and PI, binary + - * / and ^ (power), unary - and +, parentheses, and the
// functions ARCTAN COS SIN TAN ABS EXP LN LOG SQRT SQR INT FRAC TRUNC ROUND
// ARCSIN ARCCOS SIGN NOT applied to a parenthesised argument. Names ignore
// case. Precedence, loosest first: + -; * /; unary sign; ^ (right to left),
// so -2^2 is -4 and 2^3^2 is 512. LOG is decimal; ROUND takes halves to the
// even neighbour; NOT is the bitwise complement of the integer part.
//
// A formula may name the numbers of three draws: n1..n6 (the evaluated one),
// p1..p6 (the one before) and t1..t6 (the one before that). They are
// replaced by their decimal values as text before evaluation (so "n12" is
// n1's digits followed by "2"). TFormula compiles the text once, keeping the
// variables as slots wherever every one of them stands as a word of its own;
// only formulas that glue a variable to other characters are substituted and
// parsed anew on each evaluation, and give the same results either way.
//
// Threads: a TFormula is immutable after construction; Evaluate may run on
// several threads at once.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/game.h"

namespace vexa {

enum class TFormulaError : uint8_t {
  None,
  FloatingPoint,   // overflow, invalid operation, a literal out of range
  LogNegative,     // LN or LOG of a negative number
  RootNegative,    // SQRT of a negative number
  DivisionByZero,
  MissingParen,
  Syntax,
};

// Nesting of signs, parentheses and function calls beyond this is a syntax
// error; real formulas stay far below it.
inline constexpr size_t MaxFormulaDepth = 256;

// The message of an error; empty for None.
std::string FormulaErrorText(TFormulaError error);

struct TFormulaResult {
  long double Value = 0;
  TFormulaError Error = TFormulaError::None;
  bool Ok() const { return Error == TFormulaError::None; }
};

// n1..n6 at 0..5, p1..p6 at 6..11, t1..t6 at 12..17.
inline constexpr size_t FormulaVarCount = 3 * MainCount;
using TFormulaVars = std::array<uint8_t, FormulaVarCount>;
TFormulaVars FormulaVars(const TComb& n, const TComb& p, const TComb& t);

// For k = 1..6: every "n"k, then "p"k, then "t"k (any case) replaced by the
// decimal value.
std::string SubstituteFormulaVars(std::string_view formula, const TFormulaVars& vars);

// Evaluates a text without variables (a variable name is a syntax error).
TFormulaResult EvaluateExpression(std::string_view text);

class TFormula {
 public:
  TFormula();  // the empty text: a syntax error
  explicit TFormula(std::string_view text);

  const std::string& Text() const { return Text_; }
  // False when the text glues a variable to other characters and is
  // substituted and parsed on every evaluation.
  bool IsCompiled() const { return Compiled_; }
  TFormulaResult Evaluate(const TFormulaVars& vars) const;

  // Most formulas are whole-number arithmetic on the variables feeding a
  // little fractional arithmetic: (n1+n2+n3)/(n4+n5+n6) divides two sums.
  // When the fractional part receives at most a few such integers, all of
  // small range for numbers 0..45, its result is a function of them alone,
  // and a caller may keep results in a table of MemoSize() slots: MemoSlot
  // runs only the whole-number part and names the slot; false when there is
  // no table or the integers fall outside it.
  size_t MemoSize() const;
  bool MemoSlot(const TFormulaVars& vars, size_t& slot) const;
  // Where the slot is linear in the variables (sums and differences feeding
  // the fractional part): MemoSlot = base + sum of weights[i] * vars[i]
  // whenever every variable is 0..45. False otherwise.
  bool LinearMemoSlot(int64_t& base, std::array<int64_t, FormulaVarCount>& weights) const;

  struct TProgram;

 private:
  std::string Text_;
  bool Compiled_ = false;
  std::shared_ptr<const TProgram> Program_;  // immutable, shared by copies
};

}  // namespace vexa
