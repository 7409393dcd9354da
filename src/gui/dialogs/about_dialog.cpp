#include "dialogs/about_dialog.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/message_boxes.h"
#include "update/update.h"

namespace vexa::gui {

TAboutDialog::TAboutDialog(const TWorkspace::TWebPages& pages, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("О программе"));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(QStringLiteral(":/vexa/icon.svg")).pixmap(64, 64));
  top->addWidget(icon, 0, Qt::AlignTop);
  auto* text = new QVBoxLayout;
  auto* title = new QLabel(QStringLiteral("Анализ статистики лотереи \"Korvane 6 из 45\""), this);
  QFont f = title->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.2);
  title->setFont(f);
  text->addWidget(title);
  text->addWidget(new QLabel(QStringLiteral("Версия программы: ") + QString::fromLatin1(ProgramVersion()), this));
  const std::pair<QString, std::string> links[] = {
      {QStringLiteral("Официальный сайт проекта"), pages.MainSite}, {QStringLiteral("Наш блог"), pages.Blog},
      {QStringLiteral("Наш видеоблог"), pages.VideoBlog},          {QStringLiteral("Канал в Telegram"), pages.Telegram},
      {QStringLiteral("Страница автора"), pages.AuthorSite}};
  for (const auto& [caption, url] : links) {
    if (url.empty()) continue;
    const QString u = FromEngine(url);
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(u.toHtmlEscaped(), caption.toHtmlEscaped()), this);
    link->setOpenExternalLinks(true);
    text->addWidget(link);
  }
  top->addLayout(text, 1);
  layout->addLayout(top);
  auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(close);
  layout->addLayout(bottom);
}

TFirstRunDialog::TFirstRunDialog(const TWorkspace::TWebPages& pages, const QString& helpFile, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Справочная информация"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(QStringLiteral("Перед началом работы с программой рекомендуем ознакомиться со справочной "
                                          "системой и материалами для начинающих пользователей."),
                           this);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  auto* help = new QPushButton(QStringLiteral("Открыть файл встроенной справочной системы"), this);
  help->setEnabled(!helpFile.isEmpty());
  connect(help, &QPushButton::clicked, this,
          [helpFile] { QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile)); });
  layout->addWidget(help);
  const std::pair<QString, std::string> buttons[] = {
      {QStringLiteral("Статьи для начинающих"), pages.Articles},
      {QStringLiteral("Наш блог"), pages.Blog},
      {QStringLiteral("Наш видеоблог"), pages.VideoBlog},
      {QStringLiteral("Канал в Telegram"), pages.Telegram},
      {QStringLiteral("Страница в соцсети \"В контакте\""), pages.Vk},
      {QStringLiteral("Страница в соцсети \"Однокласники\""), pages.Ok}};
  for (const auto& [caption, url] : buttons) {
    auto* b = new QPushButton(caption, this);
    const QString u = FromEngine(url);
    b->setEnabled(!u.isEmpty());
    connect(b, &QPushButton::clicked, this, [u] { QDesktopServices::openUrl(QUrl::fromUserInput(u)); });
    layout->addWidget(b);
  }
  DontShow_ = new QCheckBox(QStringLiteral("Больше не показывать данный диалог"), this);
  layout->addWidget(DontShow_);
  auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(close, 0, Qt::AlignRight);
}

bool TFirstRunDialog::DontShowAgain() const { return DontShow_->isChecked(); }

}  // namespace vexa::gui
