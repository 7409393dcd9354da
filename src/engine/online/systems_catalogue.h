// The systems catalogue: its records, its three requests, the local store
// of downloaded systems and the rules of the system dialog.
//
// Requests (paths below the catalogue's base address):
//   /scripts/sys_getlist.php  the list, one row per system
//   /scripts/sys_getdata.php  the combinations of one system (Base64 of UTF-8)
//   /scripts/sys_putdata.php  publish, change (del_mode=0) or delete (del_mode=1)
// Text in rows is UTF-8; titles, descriptions and combinations come as
// Base64. Date-times are "yyyy-mm-dd hh:mm:ss" read by fixed positions.
//
// The local store is the folder "Systems" of the data folder (see
// scripts/systems.h for the file names and ExpandSystem): one file per
// system, CR LF lines, its last-write time the catalogue's created time
// taken as local time; at most one system per N.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dates.h"
#include "online/online_service.h"

namespace vexa {

inline constexpr const char* SystemsListPath = "/scripts/sys_getlist.php";
inline constexpr const char* SystemsDataPath = "/scripts/sys_getdata.php";
inline constexpr const char* SystemsPutPath = "/scripts/sys_putdata.php";
inline constexpr const char* SystemPlaceholderTitle = "Список систем не доступен!";
inline constexpr const char* SystemDownloadedStatus = "Загружена";
inline constexpr const char* SystemCountMismatchFormat =
    "Количество скачанных комбинаций ( %d ) отличается от ожидаемого значения ( %d )";
inline constexpr const char* SystemsListErrorMessage = "Ошибка загрузки списка систем!";
inline constexpr const char* SystemDownloadErrorFormat = "Ошибка загрузки системы #%d!";
inline constexpr const char* SystemAddErrorMessage = "Ошибка добавления системы!";
inline constexpr const char* SystemPropErrorMessage = "Ошибка изменения системы!";
inline constexpr const char* SystemDelErrorMessage = "Ошибка удаления системы!";
inline constexpr const char* SystemSaveErrorFormat = "Ошибка сохранения системы #%d!";
inline constexpr const char* SystemNotOwnDeleteMessage = "Вы можете удалять только свои системы!";
inline constexpr const char* SystemNotOwnEditMessage = "Вы можете изменять только свои системы!";
inline constexpr const char* SystemDeleteQuestionFormat = "Вы действительно хотите удалить систему \"%s\"?";

// One row of the catalogue list.
struct TSystemInfo {
  int32_t Id = -1;  // -1: the placeholder row "Список систем не доступен!"
  int32_t Nums = 0;  // N, 7..45
  int32_t Olap = 0;  // block, 0..5
  int32_t CSize = 0;
  std::string Title;
  std::string Author;
  std::string AuthorMail;
  std::string Descr;
  TDateTime Created = 0;  // 0: none
  int32_t Downloads = 0;
  TDateTime LastDownload = 0;  // 0: none
  std::string Url;
  // Derived by the engine.
  bool Own = false;         // AuthorMail equals the user's e-mail, ignoring case
  bool Downloaded = false;  // its local file exists ("Загружена")

  bool IsPlaceholder() const { return Id == -1; }
};

// A system with its combinations text (lines of 6 positions, CR LF).
struct TSystemData : TSystemInfo {
  std::string Combs;
};

// The six row icons: downloaded or not crossed with own / someone else's /
// no author mail; -1 for the placeholder.
enum TSystemIcon : int {
  SystemIconOwn = 0,
  SystemIconOther = 1,
  SystemIconNoMail = 2,
  SystemIconOwnDownloaded = 3,
  SystemIconOtherDownloaded = 4,
  SystemIconNoMailDownloaded = 5,
};
int SystemIconOf(const TSystemInfo& info);

inline constexpr int SystemColumns = 11;
// "Название", "Автор", "Числа", "Блок", "Комбинаций", "Дата создания",
// "Статус", "Загрузок", "Последняя", "Комментарии", "Ссылка".
const std::array<const char*, SystemColumns>& SystemColumnTitles();
std::array<std::string, SystemColumns> SystemViewRow(const TSystemInfo& info);

// ---- The system dialog (TFormSystem) --------------------------------------------

// The combinations box after leaving it: every line with exactly six
// words rewritten as "%.2d" values joined by blanks, every other line
// deleted; Nums = max - min + 1 over all values (0 when no line is left),
// CSize the number of lines.
struct TNormalisedCombs {
  std::string Text;  // lines joined by CR LF
  int32_t Nums = 0;
  int32_t CSize = 0;
};
TNormalisedCombs NormaliseSystemCombs(std::string_view text);

// The dialog's fields as typed.
struct TSystemForm {
  std::string Title, Descr, Author, Url, Combs;
  std::string Nums, Olap;  // digits
  std::string Created, CSize, Downloads, LastDownload;  // read-only texts
};
enum class TSystemField { None, Title, Nums, Olap, Author, Descr, Combs };
struct TSystemFormCheck {
  std::string Message;  // "" when accepted
  TSystemField Focus = TSystemField::None;
};
// The texts the dialog shows for a system.
TSystemForm SystemFormOf(const TSystemData& data);
// OK: the checks in the dialog's order; on success `result` is `original`
// with the dialog's values (created from the text, or now when empty).
TSystemFormCheck AcceptSystemForm(const TSystemForm& form, const TSystemData& original, TSystemData& result);

// ---- Requests -----------------------------------------------------------------------

// The list request; onRow gets each system in reply order (Own and
// Downloaded not yet set). A row that cannot be read throws after the rows
// before it were passed on. Returns false when the reply had no "<result>".
bool PostSystemsList(const TOnlineService& service, const std::function<void(const TSystemInfo&)>& onRow);
// The combinations text of a system (decoded; "" when no row had one).
std::string PostSystemCombs(const TOnlineService& service, int32_t id);
// Save (del false) or delete; the id of the saved system, 0 for a done
// delete, -1 when no row carried an id.
int32_t PostSystemPut(const TOnlineService& service, const TSystemData& data, bool del);

// ---- Local store ---------------------------------------------------------------------

std::filesystem::path SystemFilePath(const std::filesystem::path& dataDir, const TSystemInfo& info);
bool SystemFileExists(const std::filesystem::path& dataDir, const TSystemInfo& info);
// The file exists and its last-write time is not the catalogue's created time.
bool SystemFileOutdated(const std::filesystem::path& dataDir, const TSystemInfo& info);
// Checks the count (SystemCountMismatchFormat), creates the folder, writes
// the lines with CR LF through a temporary file, sets the time, then
// deletes the other systems with the same N. Nothing is written when the
// count is wrong. Returns the files deleted.
std::vector<std::filesystem::path> StoreSystem(const std::filesystem::path& dataDir, const TSystemInfo& info,
                                               std::string_view combsText);

}  // namespace vexa
