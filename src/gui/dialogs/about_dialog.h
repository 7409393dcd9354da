// "О программе" and the first-run dialog "Справочная информация".
#pragma once

#include <QDialog>

#include "workspace/workspace.h"

class QCheckBox;

namespace vexa::gui {

class TAboutDialog : public QDialog {
  Q_OBJECT

 public:
  TAboutDialog(const TWorkspace::TWebPages& pages, QWidget* parent = nullptr);
};

class TFirstRunDialog : public QDialog {
  Q_OBJECT

 public:
  // helpFile: "" when there is no help file.
  TFirstRunDialog(const TWorkspace::TWebPages& pages, const QString& helpFile, QWidget* parent = nullptr);
  bool DontShowAgain() const;

 private:
  QCheckBox* DontShow_;
};

}  // namespace vexa::gui
