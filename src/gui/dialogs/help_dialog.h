// "Описание методики расчета": a method's help page (or the user's guide)
// in a text browser; an empty page when there is none.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace vexa::gui {

class THelpDialog : public QDialog {
  Q_OBJECT

 public:
  // page: a local file, "" for an empty page.
  explicit THelpDialog(const QString& page, QWidget* parent = nullptr);
  QTextBrowser* Browser() const { return Browser_; }

 private:
  QTextBrowser* Browser_ = nullptr;
};

}  // namespace vexa::gui
