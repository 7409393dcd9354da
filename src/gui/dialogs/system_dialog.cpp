#include "dialogs/system_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/file_dialogs.h"
#include "shell/message_boxes.h"

namespace vexa::gui {
namespace {

const QString TextFilesFilter = QStringLiteral("Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*");

// Read-only edits take the window colour, as the read-only mode wants.
void MakeReadOnly(QLineEdit* edit) {
  edit->setReadOnly(true);
  QPalette p = edit->palette();
  p.setColor(QPalette::Base, p.color(QPalette::Window));
  edit->setPalette(p);
}

void MakeReadOnly(QPlainTextEdit* edit) {
  edit->setReadOnly(true);
  QPalette p = edit->palette();
  p.setColor(QPalette::Base, p.color(QPalette::Window));
  edit->setPalette(p);
}

}  // namespace

void TDigitEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool digit = key >= Qt::Key_0 && key <= Qt::Key_9 &&
                     (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) == 0;
  const bool passes = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
  // Editing keys (arrows, erasing) are not characters and stay usable.
  const bool editing = event->text().isEmpty() || key == Qt::Key_Backspace || key == Qt::Key_Delete;
  if (digit || passes || editing) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  QApplication::beep();
  event->accept();
}

TSystemDialog::TSystemDialog(const TSystemForm& form, bool editable, TSubmit submit, QWidget* parent)
    : QDialog(parent), Editable_(editable), Submit_(std::move(submit)) {
  setObjectName(QStringLiteral("TFormSystem"));
  setWindowTitle(QStringLiteral("Система"));
  resize(640, 560);
  auto line = [this](const char* name, const std::string& text) {
    auto* e = new QLineEdit(FromEngine(text), this);
    e->setObjectName(QString::fromLatin1(name));
    return e;
  };
  auto digits = [this](const char* name, const std::string& text) {
    auto* e = new TDigitEdit(FromEngine(text), this);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaximumWidth(60);
    return e;
  };
  Title_ = line("edTitle", form.Title);
  Title_->setMaxLength(64);
  Author_ = line("edAuthor", form.Author);
  Author_->setMaxLength(64);
  Url_ = line("edURL", form.Url);
  UrlButton_ = new QToolButton(this);
  UrlButton_->setObjectName(QStringLiteral("btnURL"));
  UrlButton_->setText(QStringLiteral("..."));
  UrlButton_->setToolTip(QStringLiteral("Открыть ссылку в браузере"));
  UrlButton_->setStatusTip(UrlButton_->toolTip());
  Descr_ = new QPlainTextEdit(FromEngine(form.Descr), this);
  Descr_->setObjectName(QStringLiteral("edDescr"));
  Descr_->setMaximumHeight(90);
  Combs_ = new QPlainTextEdit(FromEngine(form.Combs), this);
  Combs_->setObjectName(QStringLiteral("edCombs"));
  Combs_->setLineWrapMode(QPlainTextEdit::NoWrap);
  Combs_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Combs_->setContextMenuPolicy(Qt::CustomContextMenu);
  Nums_ = digits("edNums", form.Nums);
  CLen_ = line("edCLen", "6");
  CLen_->setMaximumWidth(60);
  MakeReadOnly(CLen_);
  Olap_ = digits("edOlap", form.Olap);
  Created_ = line("edCreated", form.Created);
  CSize_ = line("edCSize", form.CSize);
  Downloads_ = line("edDownloads", form.Downloads);
  LastDownload_ = line("edLastDownload", form.LastDownload);
  for (QLineEdit* e : {Created_, CSize_, Downloads_, LastDownload_}) MakeReadOnly(e);

  auto* grid = new QGridLayout;
  auto label = [this](const char* text, QWidget* buddy) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->setBuddy(buddy);
    return l;
  };
  grid->addWidget(label("Наименование:", Title_), 0, 0);
  grid->addWidget(Title_, 0, 1, 1, 3);
  grid->addWidget(label("Автор:", Author_), 1, 0);
  grid->addWidget(Author_, 1, 1, 1, 3);
  grid->addWidget(label("Ссылка:", Url_), 2, 0);
  auto* urlRow = new QHBoxLayout;
  urlRow->addWidget(Url_, 1);
  urlRow->addWidget(UrlButton_);
  grid->addLayout(urlRow, 2, 1, 1, 3);
  grid->addWidget(label("Описание:", Descr_), 3, 0, Qt::AlignTop);
  grid->addWidget(Descr_, 3, 1, 1, 3);
  grid->setColumnStretch(1, 1);

  auto* numbers = new QGridLayout;
  numbers->addWidget(label("Числа:", Nums_), 0, 0);
  numbers->addWidget(Nums_, 0, 1);
  numbers->addWidget(label("Длина:", CLen_), 1, 0);
  numbers->addWidget(CLen_, 1, 1);
  numbers->addWidget(label("Блок:", Olap_), 2, 0);
  numbers->addWidget(Olap_, 2, 1);
  numbers->addWidget(label("Комбинаций:", CSize_), 3, 0);
  numbers->addWidget(CSize_, 3, 1);
  numbers->addWidget(label("Создана:", Created_), 4, 0);
  numbers->addWidget(Created_, 4, 1);
  numbers->addWidget(label("Загрузок:", Downloads_), 5, 0);
  numbers->addWidget(Downloads_, 5, 1);
  numbers->addWidget(label("Последняя:", LastDownload_), 6, 0);
  numbers->addWidget(LastDownload_, 6, 1);
  numbers->setRowStretch(7, 1);
  for (QLineEdit* e : {Created_, LastDownload_}) e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16);

  auto* combsBox = new QVBoxLayout;
  combsBox->addWidget(label("Список комбинаций:", Combs_));
  combsBox->addWidget(Combs_, 1);
  auto* middle = new QHBoxLayout;
  middle->addLayout(combsBox, 1);
  middle->addLayout(numbers);

  Ok_ = new QPushButton(QStringLiteral("OK"), this);
  Ok_->setObjectName(QStringLiteral("btnOK"));
  Cancel_ = new QPushButton(editable ? QStringLiteral("Отмена") : QStringLiteral("Закрыть окно"), this);
  Cancel_->setObjectName(QStringLiteral("btnCancel"));
  Cancel_->setToolTip(QStringLiteral("Закрыть окно"));
  connect(Ok_, &QPushButton::clicked, this, &TSystemDialog::accept);
  connect(Cancel_, &QPushButton::clicked, this, &TSystemDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Ok_);
  buttons->addWidget(Cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(middle, 1);
  layout->addLayout(buttons);

  connect(Url_, &QLineEdit::textChanged, this, [this] { UrlButton_->setEnabled(!Url_->text().trimmed().isEmpty()); });
  UrlButton_->setEnabled(!Url_->text().trimmed().isEmpty());
  connect(UrlButton_, &QToolButton::clicked, this,
          [this] { QDesktopServices::openUrl(QUrl::fromUserInput(Url_->text().trimmed())); });
  connect(Combs_, &QPlainTextEdit::customContextMenuRequested, this, &TSystemDialog::ShowCombsMenu);

  if (editable) {
    Combs_->installEventFilter(this);
    Ok_->setDefault(true);
  } else {
    for (QLineEdit* e : {Title_, Author_, Url_, static_cast<QLineEdit*>(Nums_), static_cast<QLineEdit*>(Olap_)})
      MakeReadOnly(e);
    MakeReadOnly(Descr_);
    MakeReadOnly(Combs_);
    Ok_->hide();
    Cancel_->setDefault(true);
    Cancel_->setFocus();
  }
}

TSystemForm TSystemDialog::Read() const {
  TSystemForm f;
  f.Title = ToEngine(Title_->text());
  f.Descr = ToEngine(Descr_->toPlainText());
  f.Author = ToEngine(Author_->text());
  f.Url = ToEngine(Url_->text());
  f.Combs = ToEngine(Combs_->toPlainText());
  f.Nums = ToEngine(Nums_->text());
  f.Olap = ToEngine(Olap_->text());
  f.Created = ToEngine(Created_->text());
  f.CSize = ToEngine(CSize_->text());
  f.Downloads = ToEngine(Downloads_->text());
  f.LastDownload = ToEngine(LastDownload_->text());
  return f;
}

void TSystemDialog::NormaliseCombs() {
  if (!Editable_) return;
  const TNormalisedCombs n = NormaliseSystemCombs(ToEngine(Combs_->toPlainText()));
  const QString text = FromEngine(n.Text);
  if (text != Combs_->toPlainText()) Combs_->setPlainText(text);
  Nums_->setText(QString::number(n.Nums));
  CSize_->setText(QString::number(n.CSize));
}

bool TSystemDialog::eventFilter(QObject* watched, QEvent* event) {
  // A focus change to the box's own pop-up menu is not leaving it.
  if (watched == Combs_ && event->type() == QEvent::FocusOut &&
      static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
    NormaliseCombs();
  return QDialog::eventFilter(watched, event);
}

void TSystemDialog::ShowCombsMenu(const QPoint& pos) {
  QMenu menu(this);
  const bool selection = Combs_->textCursor().hasSelection();
  const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
  const bool clipText = clip != nullptr && clip->hasText();
  QAction* copy = menu.addAction(QStringLiteral("Копировать в буфер обмена"), Combs_, &QPlainTextEdit::copy);
  copy->setEnabled(selection);
  QAction* paste = menu.addAction(QStringLiteral("Вставить из буфера обмена"), this, [this] {
    Combs_->setPlainText(QGuiApplication::clipboard()->text());
    NormaliseCombs();
  });
  paste->setEnabled(Editable_ && clipText);
  menu.addAction(QStringLiteral("Выделить все"), Combs_, &QPlainTextEdit::selectAll);
  menu.addSeparator();
  QAction* load = menu.addAction(QStringLiteral("Загрузить из файла"), this, &TSystemDialog::LoadCombs);
  load->setEnabled(Editable_);
  QAction* save = menu.addAction(QStringLiteral("Сохранить в файле"), this, &TSystemDialog::SaveCombs);
  save->setEnabled(!Combs_->toPlainText().isEmpty());
  menu.exec(Combs_->mapToGlobal(pos));
}

void TSystemDialog::LoadCombs() {
  const QString file = ChooseFile(this, {false, TextFilesFilter, QStringLiteral("txt")});
  if (file.isEmpty()) return;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) {
    ShowError(this, QStringLiteral("Ошибка чтения файла \"%1\"!\n\n%2").arg(file, f.errorString()));
    return;
  }
  Combs_->setPlainText(QString::fromUtf8(f.readAll()).remove(QLatin1Char('\r')));
  NormaliseCombs();
}

void TSystemDialog::SaveCombs() {
  const QString file = ChooseFile(this, {true, TextFilesFilter, QStringLiteral("txt")});
  if (file.isEmpty()) return;
  // Written beside and renamed over: a failed write keeps the old file.
  QSaveFile f(file);
  QString text = Combs_->toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit())
    ShowError(this, QStringLiteral("Ошибка записи в файл \"%1\"!\n\n%2").arg(file, f.errorString()));
}

void TSystemDialog::accept() {
  if (!Editable_) return;
  NormaliseCombs();
  const TSystemFormCheck check = Submit_ ? Submit_(Read()) : TSystemFormCheck{};
  if (!check.Message.empty()) {
    ShowBox(this, TBoxKind::Warning, FromEngine(check.Message));
    QWidget* focus = nullptr;
    switch (check.Focus) {
      case TSystemField::Title: focus = Title_; break;
      case TSystemField::Nums: focus = Nums_; break;
      case TSystemField::Olap: focus = Olap_; break;
      case TSystemField::Author: focus = Author_; break;
      case TSystemField::Descr: focus = Descr_; break;
      case TSystemField::Combs: focus = Combs_; break;
      case TSystemField::None: break;
    }
    if (focus != nullptr) focus->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace vexa::gui
