// Inside of the formula evaluator, shared by the parser (formula.cpp) and
// the program it compiles to (formula_program.cpp); not for use elsewhere.
//
// The parser folds constants and emits a postfix form over one stack of
// extended values. Lowering turns it into a program that keeps whole
// numbers apart on a stack of int64 (exact, and far cheaper than extended
// arithmetic) and plans the table of TFormula::MemoSlot.
#pragma once

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "stats/formula.h"

namespace vexa {
namespace formula_internal {

// Operations of the parsed form (postfix over one value stack) and of the
// program it is lowered to, which keeps whole numbers on a stack of int64
// apart from the extended values ("I" and "R" operations).
enum class TOp : uint8_t {
  // parsed form
  Const, Var, Add, Sub, Mul, Div, Pow, Neg,
  // functions, on the extended top in the program
  ArcTan, Cos, Sin, Tan, Abs, Exp, Ln, Log, Sqrt, Sqr, Int, Frac, Trunc, Round, ArcSin, ArcCos, Sign, Not,
  // whole numbers; "Var"/"Const" take the right operand straight from its source
  IConst, IVar, IAdd, ISub, IMul, INeg, IAddVar, ISubVar, IMulVar, IAddConst, ISubConst, IMulConst,
  // from whole numbers to extended ones
  ToReal,       // the int top becomes the extended top
  ToRealUnder,  // the int top goes under the extended top (a left operand)
  IDiv, IDivVar, IDivConst,
  // extended numbers
  RConst, RAdd, RSub, RMul, RDiv, RPow, RNeg,
  RAddVar, RSubVar, RMulVar, RDivVar, RPowVar, RAddConst, RSubConst, RMulConst, RDivConst, RPowConst,
  // the table plan: the integers the extended part receives
  MRecPop,   // record the int top and pop it
  MRecPop2,  // record the two int tops (left first) and pop them
  MRecVar,   // record a variable
};

struct TInstr {
  TOp Op = TOp::Const;
  uint8_t Var = 0;
  int64_t Int = 0;
  long double Value = 0;
};

inline bool IsBinary(TOp op) {
  return op == TOp::Add || op == TOp::Sub || op == TOp::Mul || op == TOp::Div || op == TOp::Pow;
}

inline bool Finite(long double x) { return std::fabs(x) <= LDBL_MAX; }

// One operation of the parsed form on extended values, for folding and for
// running; false with `err` on failure.
bool ApplyUnary(TOp op, long double& x, TFormulaError& err);
bool ApplyBinary(TOp op, long double& a, long double b, TFormulaError& err);

inline constexpr int MaxMemoInputs = 4;

// The program of a parsed form; one that always fails when `error` is set.
std::shared_ptr<const TFormula::TProgram> LowerProgram(const std::vector<TInstr>& rpn, TFormulaError error);

}  // namespace formula_internal

struct TFormula::TProgram {
  std::vector<formula_internal::TInstr> Code;
  size_t Depth = 0;  // deepest stack
  TFormulaError Error = TFormulaError::None;
  // The table plan: the whole-number part that records the inputs of the
  // extended part, and the inputs' ranges (numbers 0..45).
  std::vector<formula_internal::TInstr> MemoCode;
  size_t MemoSize = 0;  // 0: no table
  int MemoInputs = 0;
  std::array<int64_t, formula_internal::MaxMemoInputs> MemoLow{};
  std::array<int64_t, formula_internal::MaxMemoInputs> MemoCount{};
  // When every input is linear in the variables, so is the slot: base plus
  // weighted variables, valid while those variables are numbers 0..45.
  bool LinearSlot = false;
  int64_t SlotBase = 0;
  std::array<int64_t, FormulaVarCount> SlotWeights{};

  TFormulaResult Run(const TFormulaVars& vars) const;
  long double RunOn(int64_t* isp, long double* rsp, const TFormulaVars& vars, TFormulaError& err) const;
  bool Slot(const TFormulaVars& vars, size_t& slot) const;
};

}  // namespace vexa
