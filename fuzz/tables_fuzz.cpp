// The regular tables file: records, the view rows, advancing each rule and
// the stake it makes.
#include "core/error.h"
#include "core/user_interface.h"
#include "fuzz/fuzz_support.h"
#include "stakes/tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  if (size > 280 * 500) return 0;
  const auto path = fuzz::WriteScratch("Korvane_6x45.ltb", fuzz::Bytes(data, size));
  TSilentUserInterface ui;
  TTablesArray tables;
  try {
    LoadTables(path, true, tables, ui);
  } catch (const EVexaError&) {
    return 0;
  }
  TDrawsArchive archive;
  archive.SetDraws(fuzz::SomeDraws());
  TConfigData config;
  config.Cost = 10000;
  for (TTableRec& t : tables) {
    (void)TableRow(t);
    try {
      AdvanceTable(t, archive, 0);
      (void)TableStake(t, archive.NextDrawNumber(0), 0, config);
    } catch (const EVexaError&) {
    }
  }
  if (!tables.empty()) DeleteTable(tables, 0);
  return 0;
}
