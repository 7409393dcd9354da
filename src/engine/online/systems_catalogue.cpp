#include "online/systems_catalogue.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/game.h"
#include "scripts/systems.h"
#include "wire/wire.h"

namespace vexa {
namespace {

constexpr int CombLength = MainCount;

std::string Trimmed(std::string_view text) { return std::string(Trim(text)); }

// The values of a line with exactly six integer words; false otherwise.
bool SixValues(std::string_view line, std::array<int32_t, MainCount>& values) {
  const std::vector<std::string> words = SystemLineWords(line);
  if (words.size() != values.size()) return false;
  for (size_t i = 0; i < values.size(); ++i)
    if (!TryStrToInt(words[i], values[i])) return false;
  return true;
}

bool ReadInt(std::string_view text, int32_t& value) { return TryStrToInt(Trim(text), value); }

}  // namespace

int SystemIconOf(const TSystemInfo& info) {
  if (info.IsPlaceholder()) return -1;
  const int owner = Trim(info.AuthorMail).empty() ? SystemIconNoMail : (info.Own ? SystemIconOwn : SystemIconOther);
  return info.Downloaded ? owner + 3 : owner;
}

const std::array<const char*, SystemColumns>& SystemColumnTitles() {
  static const std::array<const char*, SystemColumns> titles = {
      "Название", "Автор",   "Числа",    "Блок",        "Комбинаций", "Дата создания",
      "Статус",   "Загрузок", "Последняя", "Комментарии", "Ссылка"};
  return titles;
}

std::array<std::string, SystemColumns> SystemViewRow(const TSystemInfo& info) {
  if (info.IsPlaceholder()) return {info.Title};
  return {info.Title,
          info.Author,
          Format("%.2d", {info.Nums}),
          std::to_string(info.Olap),
          std::to_string(info.CSize),
          ServiceTimeText(info.Created),
          info.Downloaded ? SystemDownloadedStatus : "",
          std::to_string(info.Downloads),
          ServiceTimeText(info.LastDownload),
          info.Descr,
          info.Url};
}

// ---- The system dialog ---------------------------------------------------------------

TNormalisedCombs NormaliseSystemCombs(std::string_view text) {
  std::vector<std::string> lines;
  SplitLines(text, lines);
  TNormalisedCombs result;
  int32_t low = INT32_MAX, high = INT32_MIN;
  std::vector<std::string> kept;
  // From the last line to the first, as the dialog does; the order of the kept lines stays.
  for (size_t i = lines.size(); i-- > 0;) {
    std::array<int32_t, MainCount> values{};
    if (Trim(lines[i]).empty() || !SixValues(lines[i], values)) continue;
    std::string line;
    for (int32_t v : values) {
      if (!line.empty()) line += ' ';
      line += Format("%.2d", {v});
      low = std::min(low, v);
      high = std::max(high, v);
    }
    kept.push_back(std::move(line));
  }
  std::reverse(kept.begin(), kept.end());
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) result.Text += "\r\n";
    result.Text += kept[i];
  }
  result.CSize = static_cast<int32_t>(kept.size());
  result.Nums = kept.empty() ? 0 : high - low + 1;
  return result;
}

TSystemForm SystemFormOf(const TSystemData& data) {
  TSystemForm form;
  form.Title = data.Title;
  form.Descr = data.Descr;
  form.Author = data.Author;
  form.Url = data.Url;
  form.Combs = data.Combs;
  form.Nums = std::to_string(data.Nums);
  form.Olap = std::to_string(data.Olap);
  form.Created = ServiceTimeText(data.Created);
  form.CSize = std::to_string(data.CSize);
  form.Downloads = std::to_string(data.Downloads);
  form.LastDownload = ServiceTimeText(data.LastDownload);
  return form;
}

TSystemFormCheck AcceptSystemForm(const TSystemForm& form, const TSystemData& original, TSystemData& result) {
  const std::string title = Trimmed(form.Title);
  if (title.empty()) return {"Название системы должно быть указано обязательно!", TSystemField::Title};
  int32_t nums = 0;
  if (!ReadInt(form.Nums, nums) || nums < 7 || nums > MaxNumber)
    return {"Указано недопустмое количество используемых чисел!", TSystemField::Nums};
  int32_t olap = 0;
  if (!ReadInt(form.Olap, olap) || olap < 0 || olap > 5)
    return {"Указан недопустмый размер блока!", TSystemField::Olap};
  const std::string author = Trimmed(form.Author);
  if (author.empty()) return {"Имя автора должно быть указано обязательно!", TSystemField::Author};
  if (Trim(form.Descr).empty()) return {"Описание системы должно быть указано обязательно!", TSystemField::Descr};
  const TNormalisedCombs combs = NormaliseSystemCombs(form.Combs);
  if (combs.CSize == 0) return {"Содержимое системы должно быть указано обязательно!", TSystemField::Combs};
  // A line that names a position beyond N, or one position twice, could never be played.
  std::vector<std::string> lines;
  SplitLines(combs.Text, lines);
  for (const std::string& line : lines) {
    std::array<int32_t, MainCount> values{};
    SixValues(line, values);
    std::array<bool, MaxNumber + 1> used{};
    for (int32_t v : values) {
      if (v < 1 || v > nums || used[static_cast<size_t>(v)])
        return {Format("Каждая комбинация системы должна состоять из шести разных чисел от 1 до %d!", {nums}),
                TSystemField::Combs};
      used[static_cast<size_t>(v)] = true;
    }
  }
  result = original;
  result.Nums = nums;
  result.Olap = olap;
  result.CSize = combs.CSize;
  result.Title = title;
  result.Author = author;
  result.Descr = form.Descr;
  result.Url = form.Url;
  result.Combs = combs.Text;
  result.Created = Trim(form.Created).empty() ? LocalNow() : ReadServiceTime(form.Created);
  int32_t downloads = 0;
  result.Downloads = ReadInt(form.Downloads, downloads) ? downloads : 0;
  result.LastDownload = ReadServiceTime(form.LastDownload);
  return {};
}

// ---- Requests ---------------------------------------------------------------------------

bool PostSystemsList(const TOnlineService& service, const std::function<void(const TSystemInfo&)>& onRow) {
  const TOnlineIdentity& id = service.Identity;
  const std::string body = PostToService(service, SystemsListPath,
                                         {IntField("comblen", CombLength), IntField("maxnums", MaxNumber),
                                          PlainField("appid", id.AppId), PlainField("appver", id.AppVer),
                                          PlainField("hwdid", id.HwdId), EscapedField("cl_name", id.Name),
                                          EscapedField("cl_mail", id.Mail), IntField("cl_lcid", id.Lcid)});
  const wire::TReply reply = ReadServiceReply(body);
  if (!reply.HasResult) return false;
  for (const wire::TReplyRow& row : reply.Rows) {
    TSystemInfo info;
    info.Id = RowInt(row, "id");
    info.Nums = RowInt(row, "nums");
    info.Olap = RowInt(row, "olap");
    info.CSize = RowInt(row, "csize");
    info.Title = RowBase64(row, "title");
    info.Descr = RowBase64(row, "descr");
    info.Author = row.Value("author");
    info.AuthorMail = row.Value("cl_mail");
    info.Url = row.Value("url");
    info.Created = ReadServiceTime(row.Value("created"));
    info.LastDownload = ReadServiceTime(row.Value("last_download"));
    info.Downloads = RowIntOrZero(row, "downloads");
    // The store names files by N and trusts them to hold N numbers.
    if (info.Nums < 7 || info.Nums > MaxNumber || info.Olap < 0 || info.Olap > 5 || info.CSize < 0 || info.Id < 0)
      throw EVexaError(Format("Некорректное описание системы #%d в ответе сервера", {info.Id}));
    onRow(info);
  }
  return true;
}

std::string PostSystemCombs(const TOnlineService& service, int32_t id) {
  const std::string body = PostToService(service, SystemsDataPath, {IntField("sys_id", id)});
  const wire::TReply reply = ReadServiceReply(body);
  for (const wire::TReplyRow& row : reply.Rows)
    if (!row.Value("clist").empty()) return RowBase64(row, "clist");
  return {};
}

int32_t PostSystemPut(const TOnlineService& service, const TSystemData& data, bool del) {
  const TOnlineIdentity& id = service.Identity;
  const std::string body = PostToService(
      service, SystemsPutPath,
      {IntField("del_mode", del ? 1 : 0), IntField("sys_id", data.Id), IntField("nums", data.Nums),
       IntField("clen", CombLength), IntField("olap", data.Olap), EscapedField("title", data.Title),
       EscapedField("descr", data.Descr), IntField("csize", data.CSize),
       del ? std::string("clist=") : PlainField("clist", wire::Base64Encode(wire::CEscape(data.Combs))),
       PlainField("url", data.Url), PlainField("appid", id.AppId), PlainField("appver", id.AppVer),
       PlainField("hwdid", id.HwdId), EscapedField("cl_name", data.Author), EscapedField("cl_mail", data.AuthorMail),
       IntField("cl_lcid", id.Lcid)});
  const wire::TReply reply = ReadServiceReply(body);
  for (const wire::TReplyRow& row : reply.Rows) {
    int32_t value = 0;
    if (TryStrToInt(row.Value("id_systems"), value) && value >= 0) return value;
  }
  return -1;
}

// ---- Local store --------------------------------------------------------------------------

std::filesystem::path SystemFilePath(const std::filesystem::path& dataDir, const TSystemInfo& info) {
  return SystemsFolder(dataDir) / SystemFileName(info.Nums, info.Olap, info.Id);
}

bool SystemFileExists(const std::filesystem::path& dataDir, const TSystemInfo& info) {
  if (info.IsPlaceholder()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(SystemFilePath(dataDir, info), ec);
}

bool SystemFileOutdated(const std::filesystem::path& dataDir, const TSystemInfo& info) {
  if (info.IsPlaceholder()) return false;
  struct stat st {};
  if (::stat(SystemFilePath(dataDir, info).c_str(), &st) != 0) return false;
  return static_cast<int64_t>(st.st_mtime) != LocalTimeToUnix(info.Created);
}

std::vector<std::filesystem::path> StoreSystem(const std::filesystem::path& dataDir, const TSystemInfo& info,
                                               std::string_view combsText) {
  std::vector<std::string> lines;
  SplitLines(combsText, lines);
  if (static_cast<int64_t>(lines.size()) != info.CSize)
    throw EVexaError(Format(SystemCountMismatchFormat, {static_cast<int64_t>(lines.size()), info.CSize}));
  const std::filesystem::path folder = SystemsFolder(dataDir);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw EVexaError(ec.message());
  std::string content;
  for (const std::string& line : lines) content += line + "\r\n";
  const std::filesystem::path file = SystemFilePath(dataDir, info);
  WriteFileAtomic(file, content);
  // Linux keeps no settable creation time; the last-write time is what marks the copy current.
  const std::time_t when = static_cast<std::time_t>(LocalTimeToUnix(info.Created));
  const struct timespec times[2] = {{when, 0}, {when, 0}};
  if (::utimensat(AT_FDCWD, file.c_str(), times, 0) != 0) throw EVexaError(std::strerror(errno));
  std::vector<std::filesystem::path> removed;
  for (const std::filesystem::path& other : FindSystemFiles(folder, info.Nums)) {
    if (other.filename() == file.filename()) continue;
    std::error_code removeEc;
    if (std::filesystem::remove(other, removeEc)) removed.push_back(other);
  }
  return removed;
}

}  // namespace vexa
