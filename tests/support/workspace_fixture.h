// A workspace over an archive a test makes, opened as the program starts.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

namespace vexa::test {

// Writes the archive file of the folder.
inline void WriteArchive(const TTempDir& dir, const TDrawsArray& draws) {
  TScriptedUi quiet;
  TDrawsArchive archive(dir / "Korvane_6x45.ldr");
  archive.SetDraws(draws);
  archive.SaveDraws(quiet);
}

// The workspace with a small list: every combination of 1..10 (210), so
// that filters over it stay quick; messages and statuses cleared after.
class TSmallListWorkspace : public ::testing::Test {
 protected:
  TTempDir dir;
  TScriptedUi ui;
  std::unique_ptr<TWorkspace> ws;

  void Reopen(const TDrawsArray& draws) {
    ws.reset();  // the stakes file admits one workspace per folder
    WriteArchive(dir, draws);
    ws = std::make_unique<TWorkspace>(dir.Path(), ui);
    ASSERT_EQ(ws->Open(), 0);
    ASSERT_TRUE(ws->CombsGen({GenerateOnlyOf, "1;2;3;4;5;6;7;8;9;10"}));
    ASSERT_EQ(ws->Combs().Count(), 210);
    ui.Messages.clear();
    ui.Statuses.clear();
  }
};

}  // namespace vexa::test
