// The online script library: its records and its seven requests.
//
// Requests (paths below the library's base address):
//   /scripts/scr_getlist.php    the list for a filter (fltid -1..6)
//   /scripts/scr_getdata.php    one script's text (Base64 of UTF-8)
//   /scripts/scr_setrate.php    rate 1..5, 0 remove the rating, -1 hide
//   /scripts/scr_chktitle.php   is a title free
//   /scripts/scr_putscript.php  publish, change (del_mode=0) or delete (del_mode=1)
//   /scripts/scr_getrates.php   every rating of a script
// Scripts travel in the text form of script lines, joined by CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dates.h"
#include "online/online_service.h"

namespace vexa {

inline constexpr const char* LibraryListPath = "/scripts/scr_getlist.php";
inline constexpr const char* LibraryDataPath = "/scripts/scr_getdata.php";
inline constexpr const char* LibraryRatePath = "/scripts/scr_setrate.php";
inline constexpr const char* LibraryTitlePath = "/scripts/scr_chktitle.php";
inline constexpr const char* LibraryPutPath = "/scripts/scr_putscript.php";
inline constexpr const char* LibraryRatesPath = "/scripts/scr_getrates.php";

inline constexpr const char* LibraryListErrorMessage = "Ошибка загрузки каталога online-сценариев!";
inline constexpr const char* LibraryDownloadErrorMessage = "Ошибка загрузки online-сценария!";
inline constexpr const char* LibraryTitleCheckErrorMessage = "Ошибка проверки уникальности online-сценария!";
inline constexpr const char* LibrarySaveErrorMessage = "Ошибка сохранения online-сценария в базе данных!";
inline constexpr const char* LibraryPublishErrorMessage = "Ошибка публикации online-сценария!";
inline constexpr const char* LibraryDeleteErrorMessage = "Ошибка удаления online-сценария из базы данных!";
inline constexpr const char* LibraryViewErrorMessage = "Ошибка просмотра свойств online-сценария!";
inline constexpr const char* LibraryRateErrorMessage = "Ошибка сохранения оценки online-сценария!";
inline constexpr const char* LibraryRatesErrorMessage = "Ошибка просмотра оценок online-сценария!";
inline constexpr const char* LibraryTitleMissingMessage = "Название сценария должно быть указано обязательно!";
inline constexpr const char* LibraryTitleTakenMessage =
    "Сценарий с таким названием уже существует!\rВыберите другое название.";
inline constexpr const char* LibraryAuthorMissingMessage = "Имя автора должно быть указано обязательно!";
inline constexpr const char* LibraryDeleteQuestionFormat = "Вы действительно хотите удалить сценарий \"%s\"?";
inline constexpr const char* LibraryNotCompatibleMessage =
    "Сценарий создан в другой программе и не может быть загружен в эту!";
inline constexpr const char* LibraryNotEditableMessage = "Вы можете изменять и удалять только свои сценарии этой программы!";
inline constexpr const char* LibraryEmptyScriptMessage = "Текущий сценарий пуст!";
inline constexpr int LibraryTitleMaxLength = 64;
inline constexpr int LibraryAuthorMaxLength = 64;

// The list filter: item i of "Фильтр сценариев" sends fltid i - 1.
inline constexpr int LibraryFilterCount = 8;
inline constexpr int LibraryFilterDefaultIndex = 2;  // "Все, кроме скрытых (по умолчанию)", fltid 1
const std::array<const char*, LibraryFilterCount>& LibraryFilterItems();
inline constexpr int LibraryFilterId(int index) { return index - 1; }

// One row of the library list.
struct TScriptInfo {
  int32_t Id = 0;
  std::string Author;
  std::string AuthorMail;
  int32_t Language = 0;
  std::string Program;         // the program it was made in
  std::string ProgramVersion;  // its version
  bool Universal = false;      // usable in any program of the family
  bool Public = false;         // visible to all users
  TDateTime Created = 0;
  double Rating = 0;
  int32_t Ratings = 0;
  int32_t YourRating = 0;  // -1 hidden by the user, 0 none, 1..5
  int32_t Downloads = 0;
  TDateTime LastDownload = 0;
  std::string Title;
  std::string Descr;
  // Derived by the engine.
  bool Own = false;         // AuthorMail equals the user's e-mail, ignoring case
  bool Compatible = false;  // universal, or made by this program (its appid)
  bool Editable = false;    // own and compatible
};

// What the properties dialog edits.
struct TScriptData {
  int32_t Id = -1;  // -1: a new script
  std::string Author;
  int32_t Language = 1049;
  bool Universal = false;
  bool Public = true;
  std::string Title;
  std::string Descr;
};

// One rating, as received.
struct TScriptRate {
  std::string Name, Rate, Created, Program, Version, Notes;
};
struct TScriptRates {
  bool HasResult = false;  // the window shows only when the reply had "<result>"
  std::vector<TScriptRate> Rows;
};

inline constexpr int LibraryColumns = 13;
// "Тип", "Название", "Автор", "Программа", "Версия", "Язык", "Создан",
// "Рейтинг", "Оценок", "Ваша оценка", "Загрузок", "Последняя", "Комментарии".
const std::array<const char*, LibraryColumns>& LibraryColumnTitles();
std::array<std::string, LibraryColumns> LibraryViewRow(const TScriptInfo& info);
inline constexpr int LibraryRateColumns = 6;  // "Имя", "Оценка", "Дата", "Программа", "Версия", "Комментарии"
const std::array<const char*, LibraryRateColumns>& LibraryRateColumnTitles();

// The properties dialog's record of a list row.
TScriptData ScriptDataOf(const TScriptInfo& info);
// The languages the dialog offers: (id, name), the built-in one first.
std::vector<std::pair<int32_t, std::string>> ScriptLanguages();
// "Только в \"Korvane_6x45\"": the first item of " Применяемость ".
std::string ScriptOwnProgramItem();

enum class TScriptField { None, Title, Author };
struct TScriptDataCheck {
  std::string Message;  // "" when accepted
  TScriptField Focus = TScriptField::None;
  int32_t Id = -1;  // accepted and sent: the script's id in the library
};

// ---- Requests -------------------------------------------------------------------------

// onRow gets each script in reply order (Own, Compatible, Editable set
// from the identity). Returns false when the reply had no "<result>".
bool PostLibraryList(const TOnlineService& service, int fltid, const std::function<void(const TScriptInfo&)>& onRow);
// The script's text (decoded), "" when no row had one.
std::string PostLibraryScript(const TOnlineService& service, int32_t id);
// Throws "Код возврата: %d" for a negative result.
void PostLibraryRate(const TOnlineService& service, int32_t id, int value, std::string_view notes);
bool PostLibraryTitleFree(const TOnlineService& service, int32_t id, std::string_view title);
// The saved script's id (-1 when no row).
int32_t PostLibraryPut(const TOnlineService& service, const TScriptData& data, std::string_view script);
// The result of the delete: 0 means deleted (-1 when no row).
int32_t PostLibraryDelete(const TOnlineService& service, const TScriptData& data);
TScriptRates PostLibraryRates(const TOnlineService& service, int32_t id);

}  // namespace vexa
