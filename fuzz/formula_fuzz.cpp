// Shredding formulas: compile, evaluate, and the text substitution they mirror.
#include "fuzz/fuzz_support.h"
#include "stats/formula.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  const std::string_view text = fuzz::Bytes(data, size);
  const TFormula formula(text);
  const TComb n{1, 2, 3, 4, 5, 6};
  const TComb p{7, 8, 9, 10, 11, 12};
  const TComb t{40, 41, 42, 43, 44, 45};
  const TFormulaVars vars = FormulaVars(n, p, t);
  (void)formula.Evaluate(vars);
  size_t slot = 0;
  if (formula.MemoSize() > 0) (void)formula.MemoSlot(vars, slot);
  (void)EvaluateExpression(SubstituteFormulaVars(text, vars));
  return 0;
}
