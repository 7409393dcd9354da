// The interface language: which one is in use and the choice of another.
#include "core/error.h"
#include "core/format.h"
#include "core/languages.h"
#include "workspace/workspace.h"

namespace vexa {

int32_t TWorkspace::CurrentLanguage(const std::filesystem::path& program) const {
  if (Switches_.NoLanguage || Window_.Language == BuiltInLanguage) return BuiltInLanguage;
  const std::filesystem::path module = LanguageModule(program, Window_.Language);
  std::error_code ec;
  if (module.empty() || !std::filesystem::is_regular_file(module, ec)) return BuiltInLanguage;
  return Window_.Language;
}

void TWorkspace::ChooseLanguage(int32_t lcid, const std::filesystem::path& program) {
  if (lcid != BuiltInLanguage) {
    const std::filesystem::path module = LanguageModule(program, lcid);
    std::error_code ec;
    if (module.empty() || !std::filesystem::is_regular_file(module, ec))
      throw EVexaError(Format("Языковый модуль \"%s\" не найден!",
                              {module.empty() ? std::to_string(lcid) : module.filename().string()}));
  }
  TOperation op(*this, ChangeSettings);
  WriteWindowInt(DataFile(WindowSettingsFileExt), MainWindowSection, "Language", lcid);
  Window_.Language = lcid;
}

}  // namespace vexa
