#include "stats/formula.h"

#include <charconv>
#include <string>
#include <vector>

#include "stats/formula_program.h"

namespace vexa {

std::string FormulaErrorText(TFormulaError error) {
  switch (error) {
    case TFormulaError::None: return "";
    case TFormulaError::FloatingPoint: return "Ошибка в операции с плавающей точкой";
    case TFormulaError::LogNegative: return "Выражение под логарифмом меньне нуля";
    case TFormulaError::RootNegative: return "Выражение под корнем меньне нуля";
    case TFormulaError::DivisionByZero: return "Деление на нуль";
    case TFormulaError::MissingParen: return "Не хватает скобочки";
    case TFormulaError::Syntax: return "Синтаксическая ошибка";
  }
  return "";
}

TFormulaVars FormulaVars(const TComb& n, const TComb& p, const TComb& t) {
  TFormulaVars v{};
  for (size_t k = 0; k < MainCount; ++k) {
    v[k] = n[k];
    v[MainCount + k] = p[k];
    v[2 * MainCount + k] = t[k];
  }
  return v;
}

namespace {

using namespace formula_internal;

constexpr char VarLetters[3] = {'n', 'p', 't'};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsHexDigit(char c) { return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'f'); }

// Slot of "n1".."t6" (any case), or -1.
int VarSlot(char letter, char digit) {
  if (digit < '1' || digit > '6') return -1;
  for (int i = 0; i < 3; ++i)
    if (Lower(letter) == VarLetters[i]) return i * MainCount + (digit - '1');
  return -1;
}

// A character that would join a substituted number into a longer token.
bool Sticky(char c) { return IsLetter(c) || IsDigit(c) || c == '.' || c == ',' || c == '$'; }

// Whether every variable stands apart, so that replacing it by its digits
// yields exactly one number token: nothing that extends a word or a number
// on either side, and no exponent sign ("1E-n1") in front.
bool VariablesStandApart(std::string_view s) {
  for (size_t i = 0; i + 1 < s.size(); ++i) {
    if (VarSlot(s[i], s[i + 1]) < 0) continue;
    if (i > 0) {
      const char before = s[i - 1];
      if (Sticky(before)) return false;
      if ((before == '+' || before == '-') && i > 1 && Lower(s[i - 2]) == 'e') return false;
    }
    if (i + 2 < s.size() && Sticky(s[i + 2])) return false;
  }
  return true;
}

// ---- Compiling -------------------------------------------------------------------

enum class TTok : uint8_t { End, Number, Name, Var, Plus, Minus, Star, Slash, Caret, LParen, RParen, Bad };

struct TFunction {
  const char* Name;
  TOp Op;
};

constexpr TFunction Functions[] = {
    {"ARCTAN", TOp::ArcTan}, {"COS", TOp::Cos},     {"SIN", TOp::Sin},       {"TAN", TOp::Tan},
    {"ABS", TOp::Abs},       {"EXP", TOp::Exp},     {"LN", TOp::Ln},         {"LOG", TOp::Log},
    {"SQRT", TOp::Sqrt},     {"SQR", TOp::Sqr},     {"INT", TOp::Int},       {"FRAC", TOp::Frac},
    {"TRUNC", TOp::Trunc},   {"ROUND", TOp::Round}, {"ARCSIN", TOp::ArcSin}, {"ARCCOS", TOp::ArcCos},
    {"SIGN", TOp::Sign},     {"NOT", TOp::Not},
};

bool SameName(std::string_view a, const char* upper) {
  std::string_view b(upper);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Recursive descent over the text, emitting the postfix program; constant
// operands are folded on the way.
struct TRpn {
  std::vector<TInstr> Code;
  TFormulaError Error = TFormulaError::None;  // every run fails
};

class TCompiler {
 public:
  TCompiler(std::string_view text, bool withVars, TRpn& out) : S_(text), WithVars_(withVars), Out_(out) {}

  void Compile() {
    Next();
    Expr();
    if (Syntax_ == TFormulaError::None && Tok_ != TTok::End) Fail(TFormulaError::Syntax);
    Out_.Error = Syntax_ != TFormulaError::None ? Syntax_ : Folded_;
    if (Out_.Error != TFormulaError::None) Out_.Code.clear();
  }

 private:
  void Fail(TFormulaError e) {
    if (Syntax_ == TFormulaError::None) Syntax_ = e;
    Tok_ = TTok::Bad;
  }
  bool Failed() const { return Syntax_ != TFormulaError::None; }

  // One level of nesting for as long as it lives: every group, function
  // argument, power and sign passes through Signed, which holds one. Past MaxFormulaDepth the text is a syntax error: the parser
  // recurses, and a hostile settings file must not run it out of stack.
  class TNest {
   public:
    explicit TNest(TCompiler& c) : C_(c) {
      if (++C_.Depth_ > MaxFormulaDepth) C_.Fail(TFormulaError::Syntax);
    }
    ~TNest() { --C_.Depth_; }
    TNest(const TNest&) = delete;
    TNest& operator=(const TNest&) = delete;

   private:
    TCompiler& C_;
  };

  void Next() {
    while (Pos_ < S_.size() && (S_[Pos_] == ' ' || S_[Pos_] == '\t' || S_[Pos_] == '\r' || S_[Pos_] == '\n'))
      ++Pos_;
    if (Pos_ >= S_.size()) {
      Tok_ = TTok::End;
      return;
    }
    const char c = S_[Pos_];
    if (IsDigit(c) || ((c == '.' || c == ',') && Pos_ + 1 < S_.size() && IsDigit(S_[Pos_ + 1]))) {
      LexDecimal();
      return;
    }
    if (c == '$') {
      LexHex();
      return;
    }
    if (IsLetter(c)) {
      const size_t start = Pos_;
      while (Pos_ < S_.size() && (IsLetter(S_[Pos_]) || IsDigit(S_[Pos_]))) ++Pos_;
      Name_ = S_.substr(start, Pos_ - start);
      const int slot = Name_.size() == 2 ? VarSlot(Name_[0], Name_[1]) : -1;
      if (WithVars_ && slot >= 0) {
        Tok_ = TTok::Var;
        Slot_ = static_cast<uint8_t>(slot);
      } else {
        Tok_ = TTok::Name;
      }
      return;
    }
    ++Pos_;
    switch (c) {
      case '+': Tok_ = TTok::Plus; break;
      case '-': Tok_ = TTok::Minus; break;
      case '*': Tok_ = TTok::Star; break;
      case '/': Tok_ = TTok::Slash; break;
      case '^': Tok_ = TTok::Caret; break;
      case '(': Tok_ = TTok::LParen; break;
      case ')': Tok_ = TTok::RParen; break;
      default: Tok_ = TTok::Bad; break;
    }
  }

  void LexDecimal() {
    std::string text;
    auto digits = [&] {
      while (Pos_ < S_.size() && IsDigit(S_[Pos_])) text += S_[Pos_++];
    };
    digits();
    if (Pos_ < S_.size() && (S_[Pos_] == '.' || S_[Pos_] == ',')) {
      text += '.';
      ++Pos_;
      digits();
    }
    if (Pos_ < S_.size() && Lower(S_[Pos_]) == 'e') {
      size_t p = Pos_ + 1;
      if (p < S_.size() && (S_[p] == '+' || S_[p] == '-')) ++p;
      if (p < S_.size() && IsDigit(S_[p])) {
        text += 'e';
        text.append(S_.substr(Pos_ + 1, p - Pos_ - 1));
        Pos_ = p;
        digits();
      }
    }
    if (text.front() == '.') text.insert(text.begin(), '0');
    long double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || !Finite(v)) {
      if (Folded_ == TFormulaError::None) Folded_ = TFormulaError::FloatingPoint;
      v = 0;
    }
    Tok_ = TTok::Number;
    Number_ = v;
  }

  void LexHex() {
    ++Pos_;
    const size_t start = Pos_;
    long double v = 0;
    while (Pos_ < S_.size() && IsHexDigit(S_[Pos_])) {
      const char c = Lower(S_[Pos_++]);
      v = v * 16 + (IsDigit(c) ? c - '0' : c - 'a' + 10);
    }
    if (Pos_ == start) {
      Tok_ = TTok::Bad;
      return;
    }
    if (!Finite(v) && Folded_ == TFormulaError::None) Folded_ = TFormulaError::FloatingPoint;
    Tok_ = TTok::Number;
    Number_ = v;
  }

  // ---- emission ----

  void Push(const TInstr& in) { Out_.Code.push_back(in); }

  bool LastIsConst(size_t back) const {
    return Out_.Code.size() >= back && Out_.Code[Out_.Code.size() - back].Op == TOp::Const;
  }

  void Fold(TFormulaError e) {
    if (e != TFormulaError::None && Folded_ == TFormulaError::None) Folded_ = e;
  }

  void EmitUnary(TOp op) {
    if (LastIsConst(1)) {
      TFormulaError e = TFormulaError::None;
      long double& x = Out_.Code.back().Value;
      if (!ApplyUnary(op, x, e)) x = 0;
      Fold(e);
      return;
    }
    Out_.Code.push_back({op, 0, 0, 0});
  }

  void EmitBinary(TOp op) {
    if (LastIsConst(1) && LastIsConst(2)) {
      const long double b = Out_.Code.back().Value;
      Out_.Code.pop_back();
      TFormulaError e = TFormulaError::None;
      long double& a = Out_.Code.back().Value;
      if (!ApplyBinary(op, a, b, e)) a = 0;
      Fold(e);
      return;
    }
    Out_.Code.push_back({op, 0, 0, 0});
  }

  // ---- grammar ----

  // expr := term { ("+" | "-") term }
  void Expr() {
    Term();
    while (!Failed() && (Tok_ == TTok::Plus || Tok_ == TTok::Minus)) {
      const TOp op = Tok_ == TTok::Plus ? TOp::Add : TOp::Sub;
      Next();
      Term();
      if (!Failed()) EmitBinary(op);
    }
  }

  // term := signed { ("*" | "/") signed }
  void Term() {
    Signed();
    while (!Failed() && (Tok_ == TTok::Star || Tok_ == TTok::Slash)) {
      const TOp op = Tok_ == TTok::Star ? TOp::Mul : TOp::Div;
      Next();
      Signed();
      if (!Failed()) EmitBinary(op);
    }
  }

  // signed := ("+" | "-") signed | power
  void Signed() {
    const TNest nest(*this);
    if (Failed()) return;
    if (Tok_ == TTok::Plus) {
      Next();
      Signed();
    } else if (Tok_ == TTok::Minus) {
      Next();
      Signed();
      if (!Failed()) EmitUnary(TOp::Neg);
    } else {
      Power();
    }
  }

  // power := primary [ "^" signed ]
  void Power() {
    Primary();
    if (!Failed() && Tok_ == TTok::Caret) {
      Next();
      Signed();
      if (!Failed()) EmitBinary(TOp::Pow);
    }
  }

  // The closing parenthesis of a group or a function argument.
  void Close() {
    if (Failed()) return;
    if (Tok_ == TTok::RParen) {
      Next();
    } else {
      Fail(Tok_ == TTok::End ? TFormulaError::MissingParen : TFormulaError::Syntax);
    }
  }

  void Primary() {
    switch (Tok_) {
      case TTok::Number:
        Push({TOp::Const, 0, 0, Number_});
        Next();
        return;
      case TTok::Var:
        Push({TOp::Var, Slot_, 0, 0});
        Next();
        return;
      case TTok::LParen: {
        Next();
        Expr();
        Close();
        return;
      }
      case TTok::Name: {
        if (SameName(Name_, "PI") || SameName(Name_, "E")) {
          Push({TOp::Const, 0, 0, SameName(Name_, "PI") ? 3.14159265358979323846264338327950288L
                                                       : 2.71828182845904523536028747135266250L});
          Next();
          return;
        }
        for (const TFunction& f : Functions) {
          if (!SameName(Name_, f.Name)) continue;
          Next();
          if (Tok_ != TTok::LParen) {
            Fail(TFormulaError::Syntax);
            return;
          }
          Next();
          Expr();
          Close();
          if (!Failed()) EmitUnary(f.Op);
          return;
        }
        Fail(TFormulaError::Syntax);
        return;
      }
      case TTok::End:
      default:
        Fail(TFormulaError::Syntax);
        return;
    }
  }

  std::string_view S_;
  bool WithVars_;
  TRpn& Out_;
  size_t Pos_ = 0;
  TTok Tok_ = TTok::End;
  long double Number_ = 0;
  std::string_view Name_;
  uint8_t Slot_ = 0;
  size_t Depth_ = 0;
  TFormulaError Syntax_ = TFormulaError::None;  // parse errors win over folded ones
  TFormulaError Folded_ = TFormulaError::None;
};

TRpn Parse(std::string_view text, bool withVars) {
  TRpn rpn;
  TCompiler(text, withVars, rpn).Compile();
  return rpn;
}

std::shared_ptr<const TFormula::TProgram> Compile(std::string_view text, bool withVars) {
  const TRpn rpn = Parse(text, withVars);
  return LowerProgram(rpn.Code, rpn.Error);
}

}  // namespace

// ---- Public --------------------------------------------------------------------

std::string SubstituteFormulaVars(std::string_view formula, const TFormulaVars& vars) {
  std::string s(formula);
  for (int k = 1; k <= MainCount; ++k) {
    for (int letter = 0; letter < 3; ++letter) {
      const std::string value = std::to_string(vars[static_cast<size_t>(letter * MainCount + k - 1)]);
      std::string out;
      out.reserve(s.size() + 8);
      for (size_t i = 0; i < s.size();) {
        if (i + 1 < s.size() && Lower(s[i]) == VarLetters[letter] && s[i + 1] == static_cast<char>('0' + k)) {
          out += value;
          i += 2;
        } else {
          out += s[i++];
        }
      }
      s = std::move(out);
    }
  }
  return s;
}

TFormulaResult EvaluateExpression(std::string_view text) { return Compile(text, false)->Run(TFormulaVars{}); }

TFormula::TFormula() : TFormula(std::string_view{}) {}

TFormula::TFormula(std::string_view text) : Text_(text), Compiled_(VariablesStandApart(text)) {
  if (Compiled_) Program_ = Compile(Text_, true);
}

TFormulaResult TFormula::Evaluate(const TFormulaVars& vars) const {
  if (Compiled_) return Program_->Run(vars);
  return EvaluateExpression(SubstituteFormulaVars(Text_, vars));
}

size_t TFormula::MemoSize() const { return Compiled_ ? Program_->MemoSize : 0; }

bool TFormula::MemoSlot(const TFormulaVars& vars, size_t& slot) const {
  return Compiled_ && Program_->Slot(vars, slot);
}

bool TFormula::LinearMemoSlot(int64_t& base, std::array<int64_t, FormulaVarCount>& weights) const {
  if (!Compiled_ || Program_->MemoSize == 0 || !Program_->LinearSlot) return false;
  base = Program_->SlotBase;
  weights = Program_->SlotWeights;
  return true;
}

}  // namespace vexa
