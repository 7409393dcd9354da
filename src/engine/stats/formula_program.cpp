#include "stats/formula_program.h"

#include <algorithm>

namespace vexa {
namespace formula_internal {
namespace {

constexpr long double TwoPow63 = 9223372036854775808.0L;

long double RoundHalfEven(long double x) {
  const long double f = std::floor(x);
  const long double d = x - f;
  if (d > 0.5L) return f + 1;
  if (d < 0.5L) return f;
  return std::fmod(f, 2.0L) == 0 ? f : f + 1;
}

}  // namespace

// One operation on the stack top; false with `err` on failure.
//
// Overflow is not checked after every step: an infinite or undefined value
// either reaches the result, which is checked, or meets a division, a power
// or a function, which check their operands. So nothing can hide it
// (1/EXP(20000) is an error, not 0), and + - * stay free of tests.
bool ApplyUnary(TOp op, long double& x, TFormulaError& err) {
  if (op == TOp::Neg) {
    x = -x;
    return true;
  }
  if (!Finite(x)) {
    err = TFormulaError::FloatingPoint;
    return false;
  }
  switch (op) {
    case TOp::ArcTan: x = std::atan(x); break;
    case TOp::Cos: x = std::cos(x); break;
    case TOp::Sin: x = std::sin(x); break;
    case TOp::Tan: x = std::tan(x); break;
    case TOp::Abs: x = std::fabs(x); break;
    case TOp::Exp: x = std::exp(x); break;
    case TOp::Ln:
    case TOp::Log:
      if (x < 0) {
        err = TFormulaError::LogNegative;
        return false;
      }
      x = op == TOp::Ln ? std::log(x) : std::log10(x);  // 0 gives -inf: an error at the end
      break;
    case TOp::Sqrt:
      if (x < 0) {
        err = TFormulaError::RootNegative;
        return false;
      }
      x = std::sqrt(x);
      break;
    case TOp::Sqr: x = x * x; break;
    case TOp::Int:
    case TOp::Trunc: x = std::trunc(x); break;
    case TOp::Frac: x = x - std::trunc(x); break;
    case TOp::Round: x = RoundHalfEven(x); break;
    case TOp::ArcSin: x = std::asin(x); break;
    case TOp::ArcCos: x = std::acos(x); break;
    case TOp::Sign: x = x > 0 ? 1 : (x < 0 ? -1 : 0); break;
    case TOp::Not:
      if (!(std::fabs(x) < TwoPow63)) {
        err = TFormulaError::FloatingPoint;
        return false;
      }
      x = static_cast<long double>(~static_cast<int64_t>(x));
      break;
    default:
      err = TFormulaError::Syntax;
      return false;
  }
  return true;
}

bool ApplyBinary(TOp op, long double& a, long double b, TFormulaError& err) {
  switch (op) {
    case TOp::Add: a += b; return true;
    case TOp::Sub: a -= b; return true;
    case TOp::Mul: a *= b; return true;
    case TOp::Div:
      if (b == 0) {
        err = TFormulaError::DivisionByZero;
        return false;
      }
      if (!Finite(b)) break;
      a /= b;
      return true;
    case TOp::Pow:
      if (!Finite(a) || !Finite(b)) break;
      a = std::pow(a, b);
      return true;
    default:
      err = TFormulaError::Syntax;
      return false;
  }
  err = TFormulaError::FloatingPoint;
  return false;
}

namespace {

// ---- Lowering ------------------------------------------------------------------

constexpr long double IntLimit = 4611686018427387904.0L;  // 2^62: whole-number results stay below
constexpr long double ConstLimit = 2147483648.0L;         // 2^31
constexpr long double MaxMemoSize = 1 << 20;

// Bounds of a value: Lo..Hi for any byte in the variables (is int64 safe?),
// MLo..MHi for numbers 0..45 (the table plan).
struct TRange {
  long double Lo = 0, Hi = 0, MLo = 0, MHi = 0;
};

TRange Combine(TOp op, const TRange& a, const TRange& b) {
  auto span = [op](long double a1, long double a2, long double b1, long double b2, long double& lo, long double& hi) {
    if (op == TOp::Add) {
      lo = a1 + b1;
      hi = a2 + b2;
    } else if (op == TOp::Sub) {
      lo = a1 - b2;
      hi = a2 - b1;
    } else {
      const long double p[4] = {a1 * b1, a1 * b2, a2 * b1, a2 * b2};
      lo = *std::min_element(p, p + 4);
      hi = *std::max_element(p, p + 4);
    }
  };
  TRange r;
  span(a.Lo, a.Hi, b.Lo, b.Hi, r.Lo, r.Hi);
  span(a.MLo, a.MHi, b.MLo, b.MHi, r.MLo, r.MHi);
  return r;
}

// A whole number as C0 + the sum of C[i] * variable i, while it is one.
struct TLinear {
  bool Ok = false;
  int64_t C0 = 0;
  std::array<int64_t, FormulaVarCount> C{};

  static TLinear Of(const TInstr& operand) {
    TLinear f;
    f.Ok = true;
    if (operand.Op == TOp::Var)
      f.C[operand.Var] = 1;
    else
      f.C0 = static_cast<int64_t>(operand.Value);
    return f;
  }
  bool IsConst() const {
    return std::all_of(C.begin(), C.end(), [](int64_t c) { return c == 0; });
  }
  TLinear Scaled(int64_t k) const {
    TLinear f = *this;
    f.C0 *= k;
    for (int64_t& c : f.C) c *= k;
    return f;
  }
};

// Whole-number results are bounded (IntLimit), so the coefficients are too.
TLinear CombineLinear(TOp op, const TLinear& a, const TLinear& b) {
  if (!a.Ok || !b.Ok) return {};
  if (op == TOp::Mul) {
    if (a.IsConst()) return b.Scaled(a.C0);
    if (b.IsConst()) return a.Scaled(b.C0);
    return {};
  }
  const int64_t sign = op == TOp::Sub ? -1 : 1;
  TLinear f = a;
  f.C0 += sign * b.C0;
  for (size_t i = 0; i < f.C.size(); ++i) f.C[i] += sign * b.C[i];
  return f;
}

struct TSlot {
  bool Int = false;
  TRange Range;
  TLinear Form;
};

bool IntegralConst(long double v) { return std::fabs(v) <= ConstLimit && v == std::trunc(v); }

TSlot SlotOf(const TInstr& operand) {
  if (operand.Op == TOp::Var) return {true, {0, 255, 0, MaxNumber}, TLinear::Of(operand)};
  const long double v = operand.Value;
  if (IntegralConst(v)) return {true, {v, v, v, v}, TLinear::Of(operand)};
  return {};
}

// Binary ops come in runs of Add Sub Mul (Div Pow): the plain op of a typed one.
TOp BaseOf(TOp op, TOp runStart) {
  return static_cast<TOp>(static_cast<int>(TOp::Add) + static_cast<int>(op) - static_cast<int>(runStart));
}

// The typed op of a plain one, in a run that starts with its Add.
TOp InRun(TOp op, TOp runStart) {
  return static_cast<TOp>(static_cast<int>(runStart) + static_cast<int>(op) - static_cast<int>(TOp::Add));
}

class TLowering {
 public:
  explicit TLowering(TFormula::TProgram& out) : Out_(out) {}

  void Lower(const std::vector<TInstr>& rpn) {
    for (size_t i = 0; i < rpn.size(); ++i) {
      const TInstr& in = rpn[i];
      if (in.Op == TOp::Var || in.Op == TOp::Const) {
        if (i + 1 < rpn.size() && IsBinary(rpn[i + 1].Op)) {
          BinaryWith(rpn[i + 1].Op, in);
          ++i;
        } else {
          PushOperand(in);
        }
      } else if (IsBinary(in.Op)) {
        Binary(in.Op);
      } else if (in.Op == TOp::Neg && Stack_.back().Int) {
        Emit({TOp::INeg, 0, 0, 0}, true);
        TRange& r = Stack_.back().Range;
        r = {-r.Hi, -r.Lo, -r.MHi, -r.MLo};
        if (Stack_.back().Form.Ok) Stack_.back().Form = Stack_.back().Form.Scaled(-1);
      } else {
        RealTop();
        Emit({in.Op == TOp::Neg ? TOp::RNeg : in.Op, 0, 0, 0}, false);
      }
    }
    RealTop();
    PlanMemo();
  }

 private:
  // The main program gets every step; the table plan the whole-number ones.
  void Emit(const TInstr& in, bool intStep) {
    Out_.Code.push_back(in);
    if (intStep) Out_.MemoCode.push_back(in);
  }

  void Record(const TInstr& in, const TSlot& input) {
    Out_.MemoCode.push_back(in);
    Inputs_.push_back(input);
  }

  void Push(const TSlot& s) {
    Stack_.push_back(s);
    Out_.Depth = std::max(Out_.Depth, Stack_.size());
  }

  void PushOperand(const TInstr& in) {
    const TSlot s = SlotOf(in);
    if (s.Int)
      Emit({in.Op == TOp::Var ? TOp::IVar : TOp::IConst, in.Var, static_cast<int64_t>(in.Value), in.Value}, true);
    else
      Emit({TOp::RConst, 0, 0, in.Value}, false);
    Push(s);
  }

  // The whole-number top becomes extended.
  void RealTop() {
    if (!Stack_.back().Int) return;
    Emit({TOp::ToReal, 0, 0, 0}, false);
    Record({TOp::MRecPop, 0, 0, 0}, Stack_.back());
    Stack_.back().Int = false;
  }

  static bool IntResult(TOp op, const TSlot& a, const TSlot& b, TRange& r) {
    if (!a.Int || !b.Int || (op != TOp::Add && op != TOp::Sub && op != TOp::Mul)) return false;
    r = Combine(op, a.Range, b.Range);
    return std::fabs(r.Lo) < IntLimit && std::fabs(r.Hi) < IntLimit;
  }

  // A binary operation whose right operand is a variable or a constant.
  void BinaryWith(TOp op, const TInstr& operand) {
    TSlot& left = Stack_.back();
    const TSlot right = SlotOf(operand);
    const bool var = operand.Op == TOp::Var;
    TInstr in{op, operand.Var, right.Int ? static_cast<int64_t>(operand.Value) : 0, operand.Value};
    TRange r;
    if (IntResult(op, left, right, r)) {
      in.Op = InRun(op, var ? TOp::IAddVar : TOp::IAddConst);
      Emit(in, true);
      left.Range = r;
      left.Form = CombineLinear(op, left.Form, right.Form);
      return;
    }
    if (left.Int && right.Int && op == TOp::Div) {
      in.Op = var ? TOp::IDivVar : TOp::IDivConst;
      Emit(in, false);
      Record({TOp::MRecPop, 0, 0, 0}, left);
      if (var) Record({TOp::MRecVar, operand.Var, 0, 0}, right);
      left.Int = false;
      return;
    }
    RealTop();
    in.Op = InRun(op, var ? TOp::RAddVar : TOp::RAddConst);
    Emit(in, false);
    if (var) Record({TOp::MRecVar, operand.Var, 0, 0}, right);
  }

  void Binary(TOp op) {
    const TSlot right = Stack_.back();
    Stack_.pop_back();
    TSlot& left = Stack_.back();
    TRange r;
    if (IntResult(op, left, right, r)) {
      Emit({InRun(op, TOp::IAdd), 0, 0, 0}, true);
      left.Range = r;
      left.Form = CombineLinear(op, left.Form, right.Form);
      return;
    }
    if (left.Int && right.Int && op == TOp::Div) {
      Emit({TOp::IDiv, 0, 0, 0}, false);
      Record({TOp::MRecPop2, 0, 0, 0}, left);
      Inputs_.push_back(right);
      left.Int = false;
      return;
    }
    if (right.Int) {
      Emit({TOp::ToReal, 0, 0, 0}, false);
      Record({TOp::MRecPop, 0, 0, 0}, right);
    }
    if (left.Int) {
      Emit({TOp::ToRealUnder, 0, 0, 0}, false);
      Record({TOp::MRecPop, 0, 0, 0}, left);
    }
    left.Int = false;
    Emit({InRun(op, TOp::RAdd), 0, 0, 0}, false);
  }

  void PlanMemo() {
    if (Inputs_.size() > MaxMemoInputs) return;
    long double size = 1;
    for (const TSlot& in : Inputs_) size *= in.Range.MHi - in.Range.MLo + 1;
    if (size > MaxMemoSize) return;
    TFormula::TProgram& p = Out_;
    p.MemoInputs = static_cast<int>(Inputs_.size());
    for (size_t k = 0; k < Inputs_.size(); ++k) {
      p.MemoLow[k] = static_cast<int64_t>(Inputs_[k].Range.MLo);
      p.MemoCount[k] = static_cast<int64_t>(Inputs_[k].Range.MHi - Inputs_[k].Range.MLo + 1);
    }
    p.MemoSize = static_cast<size_t>(size);
    // slot = sum of stride_k * (input_k - low_k), the last input varying fastest
    if (!std::all_of(Inputs_.begin(), Inputs_.end(), [](const TSlot& in) { return in.Form.Ok; })) return;
    TLinear slot;
    int64_t stride = 1;
    for (size_t k = Inputs_.size(); k-- > 0;) {
      const TLinear& f = Inputs_[k].Form;
      slot.C0 += stride * (f.C0 - p.MemoLow[k]);
      for (size_t i = 0; i < f.C.size(); ++i) slot.C[i] += stride * f.C[i];
      stride *= p.MemoCount[k];
    }
    p.LinearSlot = true;
    p.SlotBase = slot.C0;
    p.SlotWeights = slot.C;
  }

  TFormula::TProgram& Out_;
  std::vector<TSlot> Stack_;
  std::vector<TSlot> Inputs_;
};

}  // namespace

std::shared_ptr<const TFormula::TProgram> LowerProgram(const std::vector<TInstr>& rpn, TFormulaError error) {
  auto program = std::make_shared<TFormula::TProgram>();
  program->Error = error;
  if (error == TFormulaError::None) TLowering(*program).Lower(rpn);
  return program;
}

namespace {

// ---- Running -------------------------------------------------------------------

// One whole-number step; false for any other operation. Each stack keeps
// its top in a local; a push spills the old top (the first one spills
// nothing of use), so a stack needs one slot per level.
inline bool IntStep(const TInstr& in, const TFormulaVars& vars, int64_t*& isp, int64_t& itop) {
  switch (in.Op) {
    case TOp::IConst: *isp++ = itop; itop = in.Int; break;
    case TOp::IVar: *isp++ = itop; itop = vars[in.Var]; break;
    case TOp::IAdd: itop = *--isp + itop; break;
    case TOp::ISub: itop = *--isp - itop; break;
    case TOp::IMul: itop = *--isp * itop; break;
    case TOp::INeg: itop = -itop; break;
    case TOp::IAddVar: itop += vars[in.Var]; break;
    case TOp::ISubVar: itop -= vars[in.Var]; break;
    case TOp::IMulVar: itop *= vars[in.Var]; break;
    case TOp::IAddConst: itop += in.Int; break;
    case TOp::ISubConst: itop -= in.Int; break;
    case TOp::IMulConst: itop *= in.Int; break;
    default: return false;
  }
  return true;
}

}  // namespace
}  // namespace formula_internal

using formula_internal::ApplyBinary;
using formula_internal::ApplyUnary;
using formula_internal::BaseOf;
using formula_internal::Finite;
using formula_internal::IntStep;
using formula_internal::MaxMemoInputs;
using formula_internal::TInstr;
using formula_internal::TOp;

long double TFormula::TProgram::RunOn(int64_t* isp, long double* rsp, const TFormulaVars& vars,
                                      TFormulaError& err) const {
  int64_t itop = 0;
  long double rtop = 0;
  auto realPush = [&](long double x) {
    *rsp++ = rtop;
    rtop = x;
  };
  auto divide = [&](long double a, long double b) {
    if (!ApplyBinary(TOp::Div, a, b, err)) return false;
    realPush(a);
    return true;
  };
  for (const TInstr& in : Code) {
    if (IntStep(in, vars, isp, itop)) continue;
    switch (in.Op) {
      case TOp::ToReal: {
        const int64_t x = itop;
        itop = *--isp;
        realPush(static_cast<long double>(x));
        break;
      }
      case TOp::ToRealUnder:
        *rsp++ = static_cast<long double>(itop);
        itop = *--isp;
        break;
      case TOp::IDiv: {
        const int64_t b = itop;
        const int64_t a = *--isp;
        itop = *--isp;
        if (!divide(static_cast<long double>(a), static_cast<long double>(b))) return 0;
        break;
      }
      case TOp::IDivVar:
      case TOp::IDivConst: {
        const int64_t a = itop;
        itop = *--isp;
        const long double b = in.Op == TOp::IDivVar ? vars[in.Var] : in.Value;
        if (!divide(static_cast<long double>(a), b)) return 0;
        break;
      }
      case TOp::RConst: realPush(in.Value); break;
      case TOp::RAdd: rtop = *--rsp + rtop; break;
      case TOp::RSub: rtop = *--rsp - rtop; break;
      case TOp::RMul: rtop = *--rsp * rtop; break;
      case TOp::RDiv:
      case TOp::RPow: {
        long double a = *--rsp;
        if (!ApplyBinary(BaseOf(in.Op, TOp::RAdd), a, rtop, err)) return 0;
        rtop = a;
        break;
      }
      case TOp::RNeg: rtop = -rtop; break;
      case TOp::RAddVar: rtop += vars[in.Var]; break;
      case TOp::RSubVar: rtop -= vars[in.Var]; break;
      case TOp::RMulVar: rtop *= vars[in.Var]; break;
      case TOp::RDivVar:
      case TOp::RPowVar:
        if (!ApplyBinary(BaseOf(in.Op, TOp::RAddVar), rtop, vars[in.Var], err)) return 0;
        break;
      case TOp::RAddConst: rtop += in.Value; break;
      case TOp::RSubConst: rtop -= in.Value; break;
      case TOp::RMulConst: rtop *= in.Value; break;
      case TOp::RDivConst:
      case TOp::RPowConst:
        if (!ApplyBinary(BaseOf(in.Op, TOp::RAddConst), rtop, in.Value, err)) return 0;
        break;
      default:
        if (!ApplyUnary(in.Op, rtop, err)) return 0;
        break;
    }
  }
  if (!Finite(rtop)) {
    err = TFormulaError::FloatingPoint;
    return 0;
  }
  return rtop;
}

TFormulaResult TFormula::TProgram::Run(const TFormulaVars& vars) const {
  TFormulaResult r;
  if (Error != TFormulaError::None) {
    r.Error = Error;
  } else if (constexpr size_t LocalDepth = 32; Depth <= LocalDepth) {
    int64_t ints[LocalDepth];
    long double reals[LocalDepth];
    r.Value = RunOn(ints, reals, vars, r.Error);
  } else {
    std::vector<int64_t> ints(Depth);
    std::vector<long double> reals(Depth);
    r.Value = RunOn(ints.data(), reals.data(), vars, r.Error);
  }
  return r;
}

bool TFormula::TProgram::Slot(const TFormulaVars& vars, size_t& slot) const {
  if (MemoSize == 0) return false;
  if (LinearSlot && std::all_of(vars.begin(), vars.end(), [](uint8_t v) { return v <= MaxNumber; })) {
    int64_t s = SlotBase;
    for (size_t i = 0; i < FormulaVarCount; ++i) s += SlotWeights[i] * vars[i];
    slot = static_cast<size_t>(s);
    return true;
  }
  constexpr size_t LocalDepth = 32;
  int64_t local[LocalDepth];
  std::vector<int64_t> heap;
  int64_t* isp = local;
  if (Depth > LocalDepth) {
    heap.resize(Depth);
    isp = heap.data();
  }
  int64_t itop = 0;
  std::array<int64_t, MaxMemoInputs> inputs{};
  int k = 0;
  for (const TInstr& in : MemoCode) {
    if (IntStep(in, vars, isp, itop)) continue;
    switch (in.Op) {
      case TOp::MRecPop:
        inputs[static_cast<size_t>(k++)] = itop;
        itop = *--isp;
        break;
      case TOp::MRecPop2:
        inputs[static_cast<size_t>(k++)] = *--isp;
        inputs[static_cast<size_t>(k++)] = itop;
        itop = *--isp;
        break;
      case TOp::MRecVar:
        inputs[static_cast<size_t>(k++)] = vars[in.Var];
        break;
      default:
        return false;
    }
  }
  size_t s = 0;
  for (int j = 0; j < MemoInputs; ++j) {
    const int64_t d = inputs[static_cast<size_t>(j)] - MemoLow[static_cast<size_t>(j)];
    if (d < 0 || d >= MemoCount[static_cast<size_t>(j)]) return false;
    s = s * static_cast<size_t>(MemoCount[static_cast<size_t>(j)]) + static_cast<size_t>(d);
  }
  slot = s;
  return true;
}

}  // namespace vexa
