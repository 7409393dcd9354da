// The window on a temporary data folder, with message boxes and file
// dialogs answered by the test instead of shown.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

namespace vexa::gui::test {

class TGuiFixture {
 public:
  // An empty folder; `draws` demo draws (seed 7) in the archive when > 0.
  explicit TGuiFixture(int draws = 0);
  ~TGuiFixture();
  TGuiFixture(const TGuiFixture&) = delete;
  TGuiFixture& operator=(const TGuiFixture&) = delete;

  // Opens the workspace and the window on the folder; with initialRun the
  // start-up's initial run too (the draws-on-start question is answered No).
  void Open(bool initialRun = true);
  // Saves the window state as closing does and drops window and workspace.
  void Close();

  // Triggers the command and waits for the worker.
  bool Trigger(const char* id);
  void WaitIdle();
  // Runs `drive` on the next modal dialog of type D (then it should close it).
  template <typename D>
  void OnDialog(std::function<void(D*)> drive) {
    auto tries = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [drive, tries, poll] {
      if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
        drive(d);
        return;
      }
      if (++*tries < 500) QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
  }
  // Boxes of this kind seen so far.
  std::vector<TBoxRequest> BoxesOf(TBoxKind kind) const;

  vexa::test::TTempDir Dir;
  std::unique_ptr<TQtUserInterface> Ui;
  std::unique_ptr<TWorkspace> Ws;
  std::unique_ptr<TMainWindow> Window;
  std::vector<TBoxRequest> Boxes;
  std::deque<bool> Answers;  // questions; then each question's default
  QString NextFile;          // the answer of the next file dialog
};

}  // namespace vexa::gui::test
