#include "dialogs/help_dialog.h"

#include <QFontDatabase>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vexa::gui {

THelpDialog::THelpDialog(const QString& page, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFormHelp"));
  setWindowTitle(QStringLiteral("Описание методики расчета"));
  setWindowFlag(Qt::Tool);
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Browser_ = new QTextBrowser(this);
  Browser_->setObjectName(QStringLiteral("wbHelp"));
  Browser_->setOpenLinks(true);
  Browser_->setOpenExternalLinks(true);
  layout->addWidget(Browser_);
  if (!page.isEmpty()) Browser_->setSource(QUrl::fromLocalFile(page));
  resize(965, 603);
}

}  // namespace vexa::gui
