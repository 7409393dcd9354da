#include "gui_fixture.h"

#include "acquire/demo_draws.h"
#include "core/dates.h"
#include "shell/command_table.h"
#include "shell/file_dialogs.h"
#include "shell/worker.h"

namespace vexa::gui::test {

TGuiFixture::TGuiFixture(int draws) {
  InstallDrawDateHooks();
  SetBoxHook([this](const TBoxRequest& r) {
    Boxes.push_back(r);
    const bool question = r.Kind == TBoxKind::Question || r.Kind == TBoxKind::CarefulQuestion;
    if (!question) return true;
    if (Answers.empty()) return r.Kind == TBoxKind::Question;
    const bool a = Answers.front();
    Answers.pop_front();
    return a;
  });
  SetFileChooser([this](const TFileRequest&) {
    const QString f = NextFile;
    NextFile.clear();
    return f;
  });
  if (draws > 0) {
    TSilentUserInterface silent;
    TDrawsArchive archive(Dir / "Korvane_6x45.ldr");
    archive.SetDraws(GenerateDemoDraws(draws, 7));
    archive.SaveDraws(silent);
  }
}

TGuiFixture::~TGuiFixture() {
  Window.reset();
  Ws.reset();
  Ui.reset();
  SetBoxHook({});
  SetFileChooser({});
}

void TGuiFixture::Open(bool initialRun) {
  Ui = std::make_unique<TQtUserInterface>();
  Ws = std::make_unique<TWorkspace>(Dir.Path(), *Ui);
  Ws->Open();
  Window = std::make_unique<TMainWindow>(*Ws, *Ui);
  Window->show();
  if (initialRun) {
    Answers.push_front(false);  // "Обновить список тиражей?"
    Window->InitialRun();
    WaitIdle();
  }
}

void TGuiFixture::Close() {
  if (Window) Window->SaveState();
  Window.reset();
  Ws.reset();
  Ui.reset();
}

void TGuiFixture::WaitIdle() {
  Window->Worker().WaitIdle();
  QCoreApplication::processEvents();
}

bool TGuiFixture::Trigger(const char* id) {
  Window->UpdateActions();
  const bool ran = Window->Commands().Trigger(QString::fromUtf8(id));
  WaitIdle();
  Window->UpdateActions();
  return ran;
}

std::vector<TBoxRequest> TGuiFixture::BoxesOf(TBoxKind kind) const {
  std::vector<TBoxRequest> out;
  for (const TBoxRequest& b : Boxes)
    if (b.Kind == kind) out.push_back(b);
  return out;
}

}  // namespace vexa::gui::test
