// Small helpers shared by the tabs of the stakes, ratings, tables and script.
#pragma once

#include <QString>
#include <QToolButton>

#include <functional>
#include <initializer_list>
#include <utility>

#include "shell/command_table.h"

class QBoxLayout;
class QTableView;
class QAbstractItemModel;

namespace vexa::gui {

class TMainWindow;

inline QString U8(const char* utf8) { return QString::fromUtf8(utf8); }
inline QString U8(const std::string& utf8) { return QString::fromUtf8(utf8.c_str()); }

// Adds a row of the command table.
void AddCommand(TCommandTable& t, const char* id, const char* category, const char* caption, const char* key,
                const char* hint, std::function<void()> handler, std::function<bool()> enabled = {},
                std::function<bool()> checked = {}, const char* group = "", bool whileBusy = false);

// A row of buttons bound to commands (id, caption); the window enables them
// with their commands. The row never widens the window: narrow, it wraps.
QWidget* CommandBar(TMainWindow& w, QWidget* parent, std::initializer_list<std::pair<const char*, const char*>> buttons);

// A list view as the window's lists are set up: whole rows, no grid, fixed
// row height; sortable: with a clickable header showing the sort arrow.
void SetupTabList(QTableView* view, QAbstractItemModel* model, const int* widths, int columns,
                  bool sortable = false);

// The focused row of a view, -1 without one.
int FocusedRow(const QTableView* view);
// Focuses, selects and shows a row.
void FocusRow(QTableView* view, int row);

}  // namespace vexa::gui
