// The initial run of the window, once it is on screen.
#include <QDialog>

#include "dialogs/about_dialog.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/update_commands.h"
#include "shell/worker.h"
#include "tabs/library_panel.h"
#include "workspace/workspace.h"

namespace vexa::gui {

void TMainWindow::InitialRun() {
  Ws_.SetStatus("Инициализация...");
  RunLong([this] { Ws_.CombsInit(); }, [this] { AfterCombsInit(); });
}

void TMainWindow::AfterCombsInit() {
  // Ratings, regular tables and the script were loaded by Open. The systems
  // list and the online script library load here once their tabs exist; the
  // silent self-update check follows them, and a restart ends the start-up.
  RunLong([this] { Ws_.OpenOnline(); }, [this] { AfterOnline(); });
}

void TMainWindow::AfterOnline() {
  if (auto* library = findChild<TLibraryPanel*>()) library->SetStarted();
  StartupUpdateCheck(*this, [this] {
    if (Ws_.Window().PrefetchsEnabled) {
      RunLong([this] { Ws_.RefreshFullSetFiles(false, 0); }, [this] { DrawsOnStart(); });
    } else {
      DrawsOnStart();
    }
  });
}

void TMainWindow::DrawsOnStart() {
  const int mode = Ws_.Window().DownloadDrawsOnStart;
  if (mode == 0 && Ask(this, FromEngine(TWorkspace::DownloadOnStartQuestion))) {
    DrawsDownload([this] { ShowFirstRun(); });
  } else if (mode == 1) {
    DrawsDownload([this] { ShowFirstRun(); });
  } else {
    ShowFirstRun();
  }
}

void TMainWindow::ShowFirstRun() {
  if (!Ws_.Window().FirstRun) return;
  TFirstRunDialog dialog(Ws_.WebPages(), FromEngine(Ws_.Stats().HelpFile), this);
  dialog.exec();
  if (dialog.DontShowAgain()) RunHere([this] { Ws_.FirstRunDone(); });
}

}  // namespace vexa::gui
