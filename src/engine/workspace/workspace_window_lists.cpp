#include "workspace/workspace.h"

namespace vexa {

void TWorkspace::ReadWindowListColumns(std::string_view window, std::string_view list, TListColumns& columns) const {
  const TIniFile frm = LoadWindowSettings(DataFile(WindowSettingsFileExt));
  RestoreListColumns(frm, window, list, columns, false);
}

void TWorkspace::SaveWindowListColumns(std::string_view window, std::string_view list, const TListColumns& columns) {
  TOperation op(*this, 0);
  TIniFile frm = LoadWindowSettings(DataFile(WindowSettingsFileExt));
  SaveListColumns(frm, window, list, columns, false);
  StoreWindowSettings(frm);
}

}  // namespace vexa
