#include "tabs/script_tab.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include "dialogs/filter_dialog.h"
#include "dialogs/script_line_dialog.h"
#include "dialogs/test_count_dialog.h"
#include "models/script_model.h"
#include "scripts/script_dialogs.h"
#include "scripts/script_list.h"
#include "scripts/script_runner.h"
#include "shell/file_dialogs.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "shell/worker.h"
#include "tabs/library_panel.h"
#include "tabs/tab_tools.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

TScriptTab::TLogOpener& LogOpener() {
  static TScriptTab::TLogOpener opener = [](const QString& file) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
  };
  return opener;
}

std::filesystem::path ToPath(const QString& file) { return std::filesystem::path(file.toStdString()); }

}  // namespace

void TScriptTab::SetLogOpener(TLogOpener opener) { LogOpener() = std::move(opener); }

TScriptTab::TScriptTab(TMainWindow& window, TQtUserInterface& ui, QWidget* parent)
    : QWidget(parent), W_(window), Ui_(ui) {
  setObjectName(QStringLiteral("tsScript"));
  Model_ = new TScriptModel(W_.Workspace(), this);
  View_ = new QTableView(this);
  View_->setObjectName(QStringLiteral("lvScript"));
  SetupTabList(View_, Model_, TScriptModel::DefaultWidths, TScriptModel::ColumnCount);
  connect(View_, &QTableView::doubleClicked, this, [this] { W_.Commands().Trigger(QStringLiteral("ScriptEdit")); });
  connect(View_->selectionModel(), &QItemSelectionModel::currentChanged, &W_, &TMainWindow::UpdateActions);
  connect(View_->selectionModel(), &QItemSelectionModel::selectionChanged, &W_, &TMainWindow::UpdateActions);
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("sbScript"));
  bar->setSizeGripEnabled(false);
  Lines_ = new QLabel(bar);
  Lines_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  Lines_->setMinimumWidth(90);
  RunText_ = new QLabel(bar);
  RunText_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  bar->addWidget(Lines_);
  bar->addWidget(RunText_, 1);
  // The run's panels (cycle, line, stakes, text) come as one progress text
  // starting with the cycle; the statistics' own texts leave them standing.
  connect(&Ui_, &TQtUserInterface::ProgressChanged, this, [this](const QString& text) {
    if (Running_ && text.startsWith(QStringLiteral("Цикл:"))) RunText_->setText(text);
  });
  // A change made here (not by the worker) reloads the list at once.
  connect(&Ui_, &TQtUserInterface::DataChanged, this, [this](unsigned what) {
    if ((what & ChangeScript) != 0 && !W_.Worker().Running()) Refresh();
  });
  W_.installEventFilter(this);
  Refresh();
}

void TScriptTab::RegisterCommands() {
  TCommandTable& t = W_.Commands();
  TWorkspace& ws = W_.Workspace();
  const char* cat = "Сценарий";
  auto focusedLine = [this] { return !Model_->IsSeparator(FocusedRow(View_)) && View_->isEnabled(); };
  auto notEmpty = [this] { return Model_->rowCount() > 0; };
  auto runnable = [this, &ws] { return Model_->rowCount() > 0 && !ws.Archive().Empty(); };
  AddCommand(t, "ScriptOpen", cat, "Открыть", "Ctrl+J", "Открыть сценарий из файла", [this] { Open(false); });
  AddCommand(t, "ScriptSave", cat, "Сохранить", "Ctrl+I", "Сохранить сценарий в файл", [this] { Save(); }, notEmpty);
  AddCommand(t, "ScriptAdd", cat, "Добавить фильтры", "Ctrl+Ins", "Добавить строку в сценарий", [this] { Add(); });
  AddCommand(t, "ScriptEmpty", cat, "Добавить разделитель", "Ctrl+Alt+Ins", "Добавить пустую строку-разделитель",
             [this, &ws] {
               int row = -1;
               if (W_.RunHere([&] { row = ws.ScriptEmpty(); })) {
                 Refresh();
                 FocusRow(View_, row);
               }
             },
             notEmpty);
  AddCommand(t, "ScriptLoad", cat, "Добавить сценарий", "", "Добавить сценарий из файла в конец списка",
             [this] { Open(true); });
  AddCommand(t, "ScriptClone", cat, "Клонировать", "Ctrl+K", "Создать копию выделенной строки",
             [this] { EditOrClone(true); }, focusedLine);
  AddCommand(t, "ScriptEdit", cat, "Изменить", "Ctrl+Return", "Изменить выделенную строку",
             [this] { EditOrClone(false); }, focusedLine);
  AddCommand(t, "ScriptDel", cat, "Удалить", "Ctrl+Del", "Удалить выделенные строки", [this] { Delete(false); },
             [this] { return W_.HasSelection(View_) && View_->isEnabled(); });
  AddCommand(t, "ScriptClr", cat, "Удалить все", "", "Удалить все строки сценария", [this] { Delete(true); },
             notEmpty);
  AddCommand(t, "ScriptUp", cat, "Переместить вверх", "Ctrl+Up", "Переместить строку вверх", [this] { Move(true); },
             [this] { return FocusedRow(View_) > 0; });
  AddCommand(t, "ScriptDown", cat, "Переместить вниз", "Ctrl+Down", "Переместить строку вниз",
             [this] { Move(false); },
             [this] { return FocusedRow(View_) >= 0 && FocusedRow(View_) < Model_->rowCount() - 1; });
  AddCommand(t, "ScriptRun", cat, "Прогноз", "F10", "Выполнить сценарий для текущего тиража и смещения",
             [this] { Run(false); }, runnable);
  AddCommand(t, "ScriptTest", cat, "Тест", "Ctrl+F10",
             "Тестирование сценария на основе результатов предыдуших тиражей", [this] { Run(true); }, runnable);
  AddCommand(t, "ScriptStop", cat, "Стоп", "Ctrl+X", "Остановить выполнение сценария", [this] { Stop(); },
             [this] { return Running_ && !Ui_.StopRequested(); }, {}, "", true);
  AddCommand(t, "LogToggle", cat, "Журнал выполнения сценария", "", "Журнал выполнения сценария",
             [this, &ws] { W_.RunHere([&] { ws.LogToggle(); }); }, {},
             [&ws] { return ws.Window().ScriptLogEnabled; });
  AddCommand(t, "LogsDelete", cat, "Удалить журналы выполнения сценариев", "",
             "Удалить журналы выполнения сценариев", [this, &ws] { W_.RunHere([&] { ws.LogsDelete(); }); });
  AddCommand(t, "StakesCheckLine", "Ставки", "Проверять ставки после каждой строки сценария", "",
             "Проверять ставки после каждой строки сценария",
             [this, &ws] { W_.RunHere([&] { ws.StakesCheckLine(); }); }, {},
             [&ws] { return ws.Window().StakesCheckOnLine; });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(CommandBar(W_, this,
                    {{"ScriptOpen", "Открыть"}, {"ScriptSave", "Сохранить"}, {"ScriptAdd", "Добавить"},
                     {"ScriptEmpty", "Разделитель"}, {"ScriptEdit", "Изменить"}, {"ScriptClone", "Клонировать"},
                     {"ScriptDel", "Удалить"}, {"ScriptUp", "Вверх"}, {"ScriptDown", "Вниз"},
                     {"ScriptRun", "Прогноз"}, {"ScriptTest", "Тест"}, {"ScriptStop", "Стоп"}}));
  // The online script library sits under the editor.
  auto* split = new QSplitter(Qt::Vertical, this);
  split->setObjectName(QStringLiteral("ScriptLibrarySplitter"));
  split->setChildrenCollapsible(false);
  split->addWidget(View_);
  Library_ = new TLibraryPanel(W_, Ui_, split);
  Library_->RegisterCommands();
  Library_->Attach(split);
  layout->addWidget(split, 1);
  layout->addWidget(findChild<QStatusBar*>(QStringLiteral("sbScript")));
  t.SetPopup(View_, {QStringLiteral("ScriptOpen"), QStringLiteral("ScriptSave"), QStringLiteral("|"),
                     QStringLiteral("ScriptAdd"), QStringLiteral("ScriptEmpty"), QStringLiteral("ScriptLoad"),
                     QStringLiteral("ScriptClone"), QStringLiteral("ScriptEdit"), QStringLiteral("ScriptDel"),
                     QStringLiteral("ScriptClr"), QStringLiteral("|"), QStringLiteral("ScriptUp"),
                     QStringLiteral("ScriptDown"), QStringLiteral("|"), QStringLiteral("ScriptRun"),
                     QStringLiteral("ScriptTest"), QStringLiteral("ScriptStop")});
}

void TScriptTab::Refresh() {
  const int focused = FocusedRow(View_);
  Model_->Refresh();
  if (focused >= 0) FocusRow(View_, std::min(focused, Model_->rowCount() - 1));
  Lines_->setText(U8(ScriptCountText(Model_->rowCount())));
}

bool TScriptTab::EditFilterText(QWidget* parent, QString& text) {
  TWorkspace& ws = W_.Workspace();
  const TFilterItem item = ws.ScriptParseFilter(ToEngine(text));
  const int method = ws.StatView().MethodIndex;
  const TStatMethod* current = method >= 0 && method < ws.Stats().Count() ? &ws.Stats().Items(method) : nullptr;
  TFilterDialog dialog(item, ws.Stats(), current, ws.Window().DrawsStatLen, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  text = U8(FormatFilterItem(dialog.Result()));
  return true;
}

void TScriptTab::Add() {
  TWorkspace& ws = W_.Workspace();
  TScriptLineDialog dialog(NewScriptLineInput(ws.Window().DrawsExclude),
                           [this](QWidget* p, QString& text) { return EditFilterText(p, text); },
                           QStringLiteral("Создание новой строки"), this);
  if (dialog.exec() != QDialog::Accepted) return;
  int row = -1;
  if (!W_.RunHere([&] { row = ws.ScriptAdd(dialog.Line()); })) return;
  Refresh();
  FocusRow(View_, row);
}

void TScriptTab::EditOrClone(bool clone) {
  TWorkspace& ws = W_.Workspace();
  const int row = FocusedRow(View_);
  if (row < 0 || row >= static_cast<int>(ws.ScriptLines().size())) return;
  TScriptLineDialog dialog(ScriptLineInputOf(ws.ScriptLines()[static_cast<size_t>(row)]),
                           [this](QWidget* p, QString& text) { return EditFilterText(p, text); },
                           clone ? QStringLiteral("Создание новой строки") : QStringLiteral("Редактирование строки"),
                           this);
  if (dialog.exec() != QDialog::Accepted) return;
  int target = row;
  if (!W_.RunHere([&] {
        if (clone)
          target = ws.ScriptClone(row, dialog.Line());
        else
          ws.ScriptEdit(row, dialog.Line());
      }))
    return;
  Refresh();
  FocusRow(View_, target);
}

void TScriptTab::Open(bool append) {
  const QString file = ChooseFile(this, {false, U8(ScriptFileFilter), QStringLiteral("lsc")});
  if (file.isEmpty()) return;
  TWorkspace& ws = W_.Workspace();
  W_.RunHere([&] {
    if (append)
      ws.ScriptLoad(ToPath(file));
    else
      ws.ScriptOpen(ToPath(file));
  });
  Refresh();
  W_.UpdateActions();
}

void TScriptTab::Save() {
  const QString file = ChooseFile(this, {true, U8(ScriptFileFilter), QStringLiteral("lsc")});
  if (file.isEmpty()) return;
  TWorkspace& ws = W_.Workspace();
  W_.RunHere([&] { ws.ScriptSave(ToPath(file)); });
}

void TScriptTab::Delete(bool all) {
  TWorkspace& ws = W_.Workspace();
  const std::vector<int> rows = W_.SelectedRows(View_);
  W_.RunHere([&] {
    if (all)
      ws.ScriptClr();
    else
      ws.ScriptDel(rows);
  });
  View_->clearSelection();
  Refresh();
}

void TScriptTab::Move(bool up) {
  TWorkspace& ws = W_.Workspace();
  const int row = FocusedRow(View_);
  int moved = row;
  if (!W_.RunHere([&] { moved = up ? ws.ScriptUp(row) : ws.ScriptDown(row); })) return;
  Refresh();
  FocusRow(View_, moved);
}

void TScriptTab::Lock(bool locked) {
  View_->setEnabled(!locked);
  W_.LeftPages()->setEnabled(!locked);
  if (QWidget* stat = W_.RightPages()->findChild<QWidget*>(QStringLiteral("tsDrawsStat"))) stat->setEnabled(!locked);
}

void TScriptTab::Run(bool test) {
  TWorkspace& ws = W_.Workspace();
  int passes = 0;
  if (test) {
    passes = TTestCountDialog::Ask(ws.Archive().Count() - 1, this);
    if (passes == 0) return;
  }
  Running_ = true;
  CloseAfterRun_ = false;
  RunText_->setText(U8(ScriptRunningStatus));
  Lock(true);
  auto result = std::make_shared<TScriptRunResult>();
  W_.RunLong(
      [&ws, test, passes, result] { *result = test ? ws.ScriptTest(passes) : ws.ScriptRun(); },
      [this, result] {
        Running_ = false;
        Lock(false);
        Refresh();
        RunText_->setText(U8(ScriptDoneStatus));
        W_.UpdateActions();
        if (!result->LogFile.empty()) LogOpener()(QString::fromStdString(result->LogFile.string()));
        if (CloseAfterRun_) W_.close();
      });
  W_.UpdateActions();
}

void TScriptTab::Stop() {
  if (!Running_ || Ui_.StopRequested()) return;
  // The engine's question; the run sees the flag at its next check.
  if (Ask(&W_, U8(ScriptStopQuestion), QStringLiteral("Подтверждение"))) Ui_.RequestStop();
  W_.UpdateActions();
}

bool TScriptTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &W_ && event->type() == QEvent::Close && Running_) {
    // The run holds the data: it is asked to stop and the window closes when it has.
    if (!Ui_.StopRequested() && Ask(&W_, U8(ScriptStopQuestion), QStringLiteral("Подтверждение"))) {
      Ui_.RequestStop();
      CloseAfterRun_ = true;
    } else if (Ui_.StopRequested()) {
      CloseAfterRun_ = true;
    }
    event->ignore();
    W_.UpdateActions();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vexa::gui
