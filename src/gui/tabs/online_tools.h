// Helpers shared by the systems tab and the library panel.
#pragma once

#include <QList>

#include <functional>

class QTableView;
class QWidget;

namespace vexa::gui {

class TMainWindow;
class TTextRowsModel;

// Runs op on the worker and waits for it with the window responsive (a
// dialog's OK that needs a request). False when op threw; its message was
// shown by the worker.
bool RunAndWait(TMainWindow& w, const std::function<void()>& op);

// A sortable list of the main window: its stored widths and sort order
// (over the defaults it has) now, and kept at exit.
void KeepListColumns(TMainWindow& w, const char* name, QTableView* view, TTextRowsModel* model,
                     const QList<int>& dateColumns);

// The user's name and e-mail, asked for once (before the first
// publication) and stored by the engine. False when the user cancelled.
bool EnsureUserIdentity(TMainWindow& w, QWidget* parent);

}  // namespace vexa::gui
