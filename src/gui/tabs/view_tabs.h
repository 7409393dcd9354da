// The analysis views on the window's right pages: "Графики", "Карта" and
// "Схема" after "Статистика", their commands, the repeats and sums
// dialogs, and the views' lazy refresh (every right-page change, every
// RefreshAll; forced after the settings dialog and the sorted-draws switch).
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QSpinBox;
class QWidget;

namespace vexa::gui {

class TMainWindow;

void AddViewTabs(TMainWindow& window);

// A window-length edit: 1 .. 2147483647, its hint in the status bar.
QSpinBox* ViewLengthSpin(const char* name, const char* hint, int value, QWidget* parent);

// Calls `enter` on Enter or Return in the watched edit (the key is taken).
class TEnterKey : public QObject {
 public:
  TEnterKey(QObject* edit, std::function<void()> enter);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> Enter_;
};

// The tab switches' common part: shows or hides `tab` on the right pages.
void ShowRightTab(TMainWindow& window, QWidget* tab, bool shown);
bool RightTabShown(TMainWindow& window, QWidget* tab);

}  // namespace vexa::gui
