// The tab "Сценарий" (tsScript): the script list lvScript with its editing
// commands and dialogs, the forecast and the test on the worker, Stop, the
// execution logs, and the script status bar sbScript.
//
// While a run goes the list, the draws and combinations pages and the
// statistics tab are disabled and Stop is the one script command enabled;
// closing the window asks to stop the run and closes once it has ended.
#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QTableView;

namespace vexa::gui {

class TMainWindow;
class TQtUserInterface;
class TLibraryPanel;
class TScriptModel;

class TScriptTab : public QWidget {
  Q_OBJECT

 public:
  TScriptTab(TMainWindow& window, TQtUserInterface& ui, QWidget* parent);
  // Adds the script commands to the window's table (before its menus are built).
  void RegisterCommands();

  QTableView* View() const { return View_; }
  TScriptModel* Model() const { return Model_; }
  QLabel* LinesPanel() const { return Lines_; }
  QLabel* RunPanel() const { return RunText_; }
  bool Running() const { return Running_; }
  TLibraryPanel* Library() const { return Library_; }
  void Refresh();

  // Opens an execution log after a run; tests replace the desktop's viewer.
  using TLogOpener = std::function<void(const QString& file)>;
  static void SetLogOpener(TLogOpener opener);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Add();
  void EditOrClone(bool clone);
  void Open(bool append);
  void Save();
  void Delete(bool all);
  void Move(bool up);
  void Run(bool test);
  void Stop();
  void Lock(bool locked);
  bool EditFilterText(QWidget* parent, QString& text);

  TMainWindow& W_;
  TQtUserInterface& Ui_;
  TScriptModel* Model_;
  QTableView* View_;
  QLabel* Lines_;
  QLabel* RunText_;
  TLibraryPanel* Library_ = nullptr;
  bool Running_ = false;
  bool CloseAfterRun_ = false;
};

}  // namespace vexa::gui
