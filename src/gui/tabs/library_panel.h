// The online script library panel pnlOnlineScripts under the script
// editor: the filter cbOnlineScriptsFilter, the list lvOnlineScripts and
// every ScriptLibrary… command (download into the editor, properties,
// publish, replace, delete, ratings, rate with a comment, hide).
//
// Every request runs on the worker; the list shows the engine's rows
// (Library()) as they were when the last operation ended. ScriptLibrary
// shows or hides the panel; its height is kept at exit.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

#include "online/script_library.h"

class QComboBox;
class QSplitter;
class QTableView;

namespace vexa::gui {

class TMainWindow;
class TQtUserInterface;
class TLibraryModel;

class TLibraryPanel : public QWidget {
  Q_OBJECT

 public:
  TLibraryPanel(TMainWindow& window, TQtUserInterface& ui, QWidget* parent);
  void RegisterCommands();

  QTableView* View() const { return View_; }
  TLibraryModel* Model() const { return Model_; }
  QComboBox* FilterBox() const { return Filter_; }
  bool Shown() const;
  void Refresh();
  // Shows or hides the panel as ScriptLibraryOn says.
  void ApplyVisibility();
  // Hosts the panel as the last part of the splitter: its stored height
  // once the splitter has its size, kept at exit.
  void Attach(QSplitter* splitter);
  // Once the window has started: the filter takes input.
  void SetStarted();
  int32_t SelectedId() const;

  // Asks for the rating's comment; tests replace the input box.
  using TCommentAsker = std::function<bool(QWidget* parent, QString& comment)>;
  static void SetCommentAsker(TCommentAsker asker);

 private:
  void Reload(std::optional<int> filter = {});
  void Download();
  void ShowProperties();
  void Publish(bool replace);
  void Delete();
  void Rates();
  void Rate(int value);
  // The selected row's record, nullptr without one.
  const TScriptInfo* Selected() const;
  int SelectedIndex() const;

  TMainWindow& W_;
  TLibraryModel* Model_;
  QTableView* View_;
  QComboBox* Filter_;
  QSplitter* Splitter_ = nullptr;
  bool Started_ = false;
  bool HeightApplied_ = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace vexa::gui
