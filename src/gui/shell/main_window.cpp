#include "shell/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "combs/combs_list.h"
#include "models/combs_model.h"
#include "models/draws_model.h"
#include "models/filters_model.h"
#include "shell/command_table.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "shell/worker.h"
#include "tabs/trading_tabs.h"
#include "tabs/view_tabs.h"
#include "update/update.h"
#include "tabs/stat_tab.h"
#include "tabs/tab_tools.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

constexpr int PanelWidths[StatusPanelCount - 1] = {150, 180, 130, 150, 120, 125};


QToolButton* CommandButton(const QString& text, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setToolButtonStyle(Qt::ToolButtonTextOnly);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

TMainWindow::TMainWindow(TWorkspace& ws, TQtUserInterface& ui, QWidget* parent)
    : QMainWindow(parent), Ws_(ws), Ui_(ui), Worker_(std::make_unique<TWorker>(ui)) {
  setObjectName(QStringLiteral("TFormMain"));
  setWindowTitle(QStringLiteral("Анализ статистики лотереи \"Korvane 6 из 45\" версия ") +
                 QString::fromLatin1(ProgramVersion()));
  setWindowIcon(QIcon(QStringLiteral(":/vexa/icon.svg")));
  Ui_.SetBoxParent(this);
  connect(&Ui_, &TQtUserInterface::ProgressChanged, this, &TMainWindow::OnProgress);
  connect(Worker_.get(), &TWorker::RunningChanged, this, &TMainWindow::OnBusyChanged);
  // Views follow the engine's change events; what the worker changes is
  // refreshed when its operation ends, so only changes made here count.
  connect(&Ui_, &TQtUserInterface::DataChanged, this, [this](unsigned what) {
    if (what == ChangeBusy) {
      OnBusyChanged(Busy());
    } else if (!Worker_->Running() && !RefreshQueued_) {
      RefreshQueued_ = true;
      QTimer::singleShot(0, this, [this] {
        RefreshQueued_ = false;
        RefreshAll();
      });
    }
  });
  Commands_ = new TCommandTable([this] { return Busy(); }, this);

  BuildLayout();
  BuildStatusBar();
  BuildCommands();
  AddViewTabs(*this);
  AddTradingTabs(*this, Ui_);
  BuildMenus();
  RestoreColumns();
  RestorePlacement();
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TMainWindow::UpdateActions);
  qApp->installEventFilter(this);
  RefreshAll();
}

TMainWindow::~TMainWindow() {
  qApp->removeEventFilter(this);
  Ui_.SetBoxParent(nullptr);
  // The worker must be idle before the data it works on go.
  Worker_->WaitIdle();
}

bool TMainWindow::Busy() const {
  // While the worker runs the busy counter is its own: do not read it.
  return Worker_->Running() || Ws_.IsBusy();
}

// ---- Layout ------------------------------------------------------------------------

void TMainWindow::BuildLayout() {
  MainSplitter_ = new QSplitter(Qt::Horizontal, this);
  MainSplitter_->setObjectName(QStringLiteral("MainSplitter"));
  MainSplitter_->setChildrenCollapsible(false);
  LeftPages_ = new QTabWidget(MainSplitter_);
  LeftPages_->setObjectName(QStringLiteral("pcLists"));
  RightPages_ = new QTabWidget(MainSplitter_);
  RightPages_->setObjectName(QStringLiteral("pcMain"));
  MainSplitter_->setStretchFactor(0, 0);
  MainSplitter_->setStretchFactor(1, 1);
  setCentralWidget(MainSplitter_);
  StatTab_ = new TStatTab(*this, RightPages_);
  RightPages_->addTab(StatTab_, QStringLiteral("Статистика"));

  // "Архив тиражей"
  auto* draws = new QWidget(LeftPages_);
  draws->setObjectName(QStringLiteral("tsDraws"));
  auto* dl = new QVBoxLayout(draws);
  dl->setContentsMargins(2, 2, 2, 2);
  dl->setSpacing(2);
  auto* dButtons = new QHBoxLayout;
  dButtons->setSpacing(2);
  for (const auto& [id, text] : {std::pair{"DrawsDownload", "Загрузка"}, std::pair{"DrawsAdd", "Добавить"},
                                 std::pair{"DrawsDel", "Удалить"}}) {
    QToolButton* b = CommandButton(QString::fromUtf8(text), draws);
    b->setObjectName(QStringLiteral("btn") + QString::fromLatin1(id));
    b->setProperty("command", QString::fromLatin1(id));
    connect(b, &QToolButton::clicked, this, [this, command = QString::fromLatin1(id)] {
      Commands_->Trigger(command);
      UpdateActions();
    });
    dButtons->addWidget(b);
  }
  dButtons->addStretch(1);
  // The offset has a row of its own so that the panel keeps its narrow default width.
  auto* dOffset = new QHBoxLayout;
  dOffset->setSpacing(4);
  auto* offsetLabel = new QLabel(QStringLiteral("Смещение назад:"), draws);
  OffsetSpin_ = new QSpinBox(draws);
  OffsetSpin_->setObjectName(QStringLiteral("edDrawsOffset"));
  const QString offsetHint = QStringLiteral("Смещение относительно последнего загруженного номера тиража");
  OffsetSpin_->setStatusTip(offsetHint);
  OffsetSpin_->setToolTip(offsetHint);
  OffsetSpin_->setMinimumWidth(60);
  offsetLabel->setBuddy(OffsetSpin_);
  dOffset->addWidget(offsetLabel);
  dOffset->addWidget(OffsetSpin_);
  dOffset->addStretch(1);
  dl->addLayout(dButtons);
  dl->addLayout(dOffset);
  DrawsView_ = new QTableView(draws);
  DrawsView_->setObjectName(QStringLiteral("lvDraws"));
  DrawsModel_ = new TDrawsModel(Ws_, this);
  SetupTabList(DrawsView_, DrawsModel_, TDrawsModel::DefaultWidths, TDrawsModel::ColumnCount);
  dl->addWidget(DrawsView_, 1);
  LeftPages_->addTab(draws, QStringLiteral("Архив тиражей"));

  // "Комбинации"
  auto* combs = new QWidget(LeftPages_);
  combs->setObjectName(QStringLiteral("tsCombs"));
  auto* cl = new QVBoxLayout(combs);
  cl->setContentsMargins(2, 2, 2, 2);
  cl->setSpacing(2);
  auto* cButtons = new QHBoxLayout;
  cButtons->setSpacing(2);
  auto* cExclude = new QHBoxLayout;
  cExclude->setSpacing(2);
  for (const auto& [id, text] : {std::pair{"CombsGen", "Новый"}, std::pair{"CombsOpen", "Открыть"},
                                 std::pair{"CombsSave", "Сохранить"}, std::pair{"CombsUndo", "Отменить"},
                                 std::pair{"CombsDelExists", "[-] Тиражи"}}) {
    QToolButton* b = CommandButton(QString::fromUtf8(text), combs);
    b->setObjectName(QStringLiteral("btn") + QString::fromLatin1(id));
    b->setProperty("command", QString::fromLatin1(id));
    connect(b, &QToolButton::clicked, this, [this, command = QString::fromLatin1(id)] {
      Commands_->Trigger(command);
      UpdateActions();
    });
    (std::string_view(id) == "CombsDelExists" ? cExclude : cButtons)->addWidget(b);
  }
  ExcludeSpin_ = new QSpinBox(combs);
  ExcludeSpin_->setObjectName(QStringLiteral("edCombsExclude"));
  const QString excludeHint = QStringLiteral("Исключить указанное количество последних тиражей из списка комбинаций");
  ExcludeSpin_->setStatusTip(excludeHint);
  ExcludeSpin_->setToolTip(excludeHint);
  ExcludeSpin_->setRange(0, 99999);
  ExcludeSpin_->setValue(Ws_.Window().DrawsExclude);
  ExcludeSpin_->setMinimumWidth(60);
  ExcludeSpin_->installEventFilter(this);
  cExclude->addWidget(ExcludeSpin_);
  cExclude->addStretch(1);
  cButtons->addStretch(1);
  cl->addLayout(cButtons);
  cl->addLayout(cExclude);
  CombsSplitter_ = new QSplitter(Qt::Vertical, combs);
  CombsSplitter_->setObjectName(QStringLiteral("CombsSplitter"));
  CombsSplitter_->setChildrenCollapsible(false);
  CombsView_ = new QTableView(CombsSplitter_);
  CombsView_->setObjectName(QStringLiteral("lvCombs"));
  CombsModel_ = new TCombsModel(Ws_, this);
  SetupTabList(CombsView_, CombsModel_, TCombsModel::DefaultWidths, TCombsModel::ColumnCount);
  FiltersView_ = new QTableView(CombsSplitter_);
  FiltersView_->setObjectName(QStringLiteral("lvFilters"));
  FiltersModel_ = new TFiltersModel(this);
  SetupTabList(FiltersView_, FiltersModel_, TFiltersModel::DefaultWidths, TFiltersModel::ColumnCount);
  FiltersView_->setSelectionMode(QAbstractItemView::SingleSelection);
  CombsSplitter_->setStretchFactor(0, 1);
  CombsSplitter_->setStretchFactor(1, 0);
  cl->addWidget(CombsSplitter_, 1);
  LeftPages_->addTab(combs, QStringLiteral("Комбинации"));

  for (QTableView* v : {DrawsView_, CombsView_})
    connect(v->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TMainWindow::UpdateActions);
  connect(DrawsView_, &QTableView::doubleClicked, this, [this] { Commands_->Trigger(QStringLiteral("DrawsInfo")); });

  connect(OffsetSpin_, &QSpinBox::valueChanged, this, [this](int value) {
    if (Busy() || value == Ws_.DrawsOffset()) return;
    RunHere([this, value] { Ws_.SetDrawsOffset(value); });
    DrawsModel_->Refresh();
    RefreshStatusPanels();
    UpdateActions();
  });
  connect(ExcludeSpin_, &QSpinBox::valueChanged, this, [this](int value) {
    Ws_.SetDrawsExclude(value);
    UpdateActions();
  });
}

void TMainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  bar->setSizeGripEnabled(true);
  for (int i = 0; i < StatusPanelCount; ++i) {
    auto* label = new QLabel(bar);
    label->setObjectName(QStringLiteral("Panel%1").arg(i));
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setContentsMargins(3, 0, 3, 0);
    if (i < ProgressPanel) {
      label->setFixedWidth(PanelWidths[i]);
      bar->addWidget(label);
    } else {
      label->setMinimumWidth(10);
      bar->addWidget(label, 1);
    }
    if (i == 2) label->setAlignment(Qt::AlignCenter);
    Panels_[static_cast<size_t>(i)] = label;
  }
  bar->setProperty("progressPanel", ProgressPanel);
}

// ---- State -------------------------------------------------------------------------

std::vector<int> TMainWindow::SelectedRows(QTableView* view) const {
  std::vector<int> rows;
  QItemSelectionModel* sm = view->selectionModel();
  if (sm == nullptr) return rows;
  // The selection is a handful of row ranges: order and merge them, then list the rows.
  std::vector<std::pair<int, int>> ranges;
  for (const QItemSelectionRange& range : sm->selection()) ranges.emplace_back(range.top(), range.bottom());
  std::sort(ranges.begin(), ranges.end());
  size_t total = 0;
  int next = 0;
  for (const auto& [top, bottom] : ranges) {
    const int from = std::max(top, next);
    if (from <= bottom) total += static_cast<size_t>(bottom - from + 1);
    next = std::max(next, bottom + 1);
  }
  rows.reserve(total);
  next = 0;
  for (const auto& [top, bottom] : ranges) {
    for (int r = std::max(top, next); r <= bottom; ++r) rows.push_back(r);
    next = std::max(next, bottom + 1);
  }
  return rows;
}

bool TMainWindow::HasSelection(QTableView* view) const {
  return view->selectionModel() != nullptr && view->selectionModel()->hasSelection();
}

void TMainWindow::UpdateActions() {
  Commands_->UpdateActions();
  const bool busy = Busy();
  for (QToolButton* b : findChildren<QToolButton*>()) {
    const QString id = b->property("command").toString();
    if (!id.isEmpty()) b->setEnabled(Commands_->IsEnabled(id));
  }
  OffsetSpin_->setEnabled(!busy);
  ExcludeSpin_->setEnabled(!busy);
}

void TMainWindow::RefreshStatusPanels() {
  if (Worker_->Running()) return;
  const TDrawsStatus status = Ws_.Archive().Status();
  Panel(0)->setText(QString::fromUtf8(status.Archive.c_str()));
  Panel(1)->setText(QString::fromUtf8(status.NextDraw.c_str()));
  Panel(2)->setText(QString::fromUtf8(status.NextNums.c_str()));
  Panel(3)->setText(QString::fromUtf8(CombsCountText(Ws_.Combs().Count()).c_str()));
  Panel(4)->setText(QStringLiteral("Ставок: %1").arg(Ws_.Stakes().Count()));
  Panel(5)->setText(QStringLiteral("Рейтинг: %1").arg(Ws_.Ratings().Count()));
}

void TMainWindow::RefreshAll() {
  // A chained operation already owns the data again; it refreshes when it ends.
  if (Worker_->Running()) return;
  DrawsModel_->Refresh();
  CombsModel_->Refresh();
  FiltersModel_->Refresh(Ws_.Combs().Log());
  StatTab_->Refresh();
  RefreshViews(false);
  {
    const QSignalBlocker block(OffsetSpin_);
    OffsetSpin_->setRange(0, std::max(0, Ws_.Archive().Count() - 1));
    OffsetSpin_->setValue(Ws_.DrawsOffset());
  }
  RefreshStatusPanels();
  UpdateActions();
}

void TMainWindow::FreezeViews() {
  auto visible = [](QTableView* v, auto* model) {
    const int first = std::max(0, v->rowAt(0));
    int last = v->rowAt(v->viewport()->height() - 1);
    if (last < 0) last = first + 100;
    model->Freeze(first, last);
  };
  visible(DrawsView_, DrawsModel_);
  visible(CombsView_, CombsModel_);
}

void TMainWindow::OnBusyChanged(bool) {
  static bool cursorSet = false;
  const bool busy = Busy();
  if (busy && !cursorSet) QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!busy && cursorSet) QApplication::restoreOverrideCursor();
  cursorSet = busy;
  UpdateActions();
}

void TMainWindow::OnProgress(const QString& text) { Panel(ProgressPanel)->setText(text); }

void TMainWindow::RunLong(std::function<void()> op, std::function<void()> done) {
  FreezeViews();
  // Every command is disabled while the worker runs, so a refusal cannot come from the user.
  Worker_->Run(std::move(op), [this, done = std::move(done)] {
    RefreshAll();
    if (done) done();
  });
}

bool TMainWindow::RunHere(const std::function<void()>& op) {
  try {
    op();
    return true;
  } catch (const std::exception& e) {
    ShowError(this, FromEngine(e.what()));
    return false;
  }
}

// ---- Events ------------------------------------------------------------------------

bool TMainWindow::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    // Hints go to panel 6, and only while no operation writes its progress there.
    if (!Busy()) Panel(ProgressPanel)->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

bool TMainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == ExcludeSpin_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
    Commands_->Trigger(QStringLiteral("CombsDelExists"));
    UpdateActions();
    return true;
  }
  // Shared keys of this window only, not of its dialogs.
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != this || QApplication::activeModalWidget() != nullptr)
    return QMainWindow::eventFilter(watched, event);
  const QKeySequence sequence(key->keyCombination());
  if (!TCommandTable::IsSharedKey(sequence)) return QMainWindow::eventFilter(watched, event);
  QWidget* focus = QApplication::focusWidget();
  const TKeyResolution r = Commands_->ResolveKey(sequence, focus != nullptr ? focus : widget);
  if (!r.Consumed) return QMainWindow::eventFilter(watched, event);
  if (!r.Id.isEmpty()) Commands_->Trigger(r.Id);
  UpdateActions();
  return true;
}

void TMainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  ApplySizes();
}

void TMainWindow::closeEvent(QCloseEvent* event) {
  // Nothing may go while the worker holds the data.
  if (Busy()) {
    event->ignore();
    return;
  }
  if (Ws_.ScriptRunning() && !Ws_.ScriptState().ScriptStopped) {
    RunHere([this] { Ws_.ScriptStop(); });
    if (Ws_.ScriptRunning() && !Ws_.ScriptState().ScriptStopped) {
      event->ignore();
      return;
    }
  }
  if (!Closing_) {
    Closing_ = true;
    SaveState();
  }
  event->accept();
}

}  // namespace vexa::gui
