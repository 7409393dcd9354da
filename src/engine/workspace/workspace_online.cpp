// The workspace's online services: the systems catalogue with its local
// store and system play, the online script library, and the user identity.
#include <algorithm>
#include <unordered_set>

#include "core/codec.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/settings.h"
#include "update/update.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

constexpr const char* QuestionTitle = "Подтверждение";
// The one-shot posts wait this long at most, so a dead service cannot hang a command.
constexpr int OnlineConnectTimeoutMs = 10000;
constexpr int OnlineReadTimeoutMs = 30000;

TSystemInfo PlaceholderSystem() {
  TSystemInfo info;
  info.Id = -1;
  info.Title = SystemPlaceholderTitle;
  return info;
}

uint64_t PackComb(const TComb& comb) {
  uint64_t key = 0;
  for (uint8_t n : comb) key = key << 8 | n;
  return key;
}

std::string JoinScript(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  return text;
}

}  // namespace

// ---- Identity and services ------------------------------------------------------------

bool TWorkspace::HasUserIdentity() const { return !Online_.UserName.empty() && !Online_.UserMail.empty(); }

void TWorkspace::SetUserIdentity(std::string_view name, std::string_view mail) {
  if (Trim(name).empty()) throw EVexaError(UserNameMissingMessage);
  if (Trim(mail).empty()) throw EVexaError(UserMailMissingMessage);
  TOperation op(*this, ChangeSettings | ChangeSystems | ChangeLibrary);
  WriteUserIdentity(DataFile(SettingsFileExt), Online_, name, mail);
  // What is "own" follows the e-mail.
  for (TSystemInfo& info : Systems_) MarkSystem(info);
  for (TScriptInfo& info : Library_) {
    info.Own = SameMail(info.AuthorMail, Online_.UserMail);
    info.Editable = info.Own && info.Compatible;
  }
}

TOnlineService TWorkspace::ServiceOf(const std::string& baseUrl, const char* urlKey) {
  TOnlineService service;
  service.BaseUrl = baseUrl;
  while (!service.BaseUrl.empty() && service.BaseUrl.back() == '/') service.BaseUrl.pop_back();
  service.UrlKey = urlKey;
  service.Options.ConnectTimeoutMs = OnlineConnectTimeoutMs;
  service.Options.ReadTimeoutMs = OnlineReadTimeoutMs;
  service.Options.Tls = TlsOptionsOf(Http_, DataDir_);
  service.Identity.AppVer = ProgramVersion();
  service.Identity.Name = Online_.UserName;
  service.Identity.Mail = Online_.UserMail;
  service.Identity.Lcid = BuiltInLanguage;
  if (service.Configured())
    service.Identity.HwdId = HardwareId(EnsureInstallSecret(DataFile(SettingsFileExt), Online_), service.BaseUrl);
  return service;
}

TOnlineService TWorkspace::CatalogueService() { return ServiceOf(Online_.CatalogueUrl, "CatalogueUrl"); }
TOnlineService TWorkspace::LibraryService() { return ServiceOf(Online_.LibraryUrl, "LibraryUrl"); }

void TWorkspace::OpenOnline() {
  if (Switches_.QuitsAfterStart()) return;
  if (Window_.SystemsEnabled) {
    if (Online_.CatalogueUrl.empty()) {
      TOperation op(*this, ChangeSystems);
      Systems_.assign(1, PlaceholderSystem());
    } else {
      SystemsRefresh();
    }
  }
  if (Window_.ScriptLibraryOn && !Online_.LibraryUrl.empty()) ScriptLibraryRefresh();
}

// ---- Systems catalogue ----------------------------------------------------------------

int TWorkspace::SystemIndex(int32_t id) const {
  for (size_t i = 0; i < Systems_.size(); ++i)
    if (Systems_[i].Id == id && !Systems_[i].IsPlaceholder()) return static_cast<int>(i);
  return -1;
}

void TWorkspace::MarkSystem(TSystemInfo& info) const {
  info.Own = SameMail(info.AuthorMail, Online_.UserMail);
  info.Downloaded = SystemFileExists(DataDir_, info);
}

void TWorkspace::SystemsOn() {
  TOperation op(*this, ChangeSystems | ChangeSettings);
  SetStatus("Подождите пожалуйста...");
  WriteWindowFlag("SystemsEnabled", !Window_.SystemsEnabled, Window_.SystemsEnabled);
  if (Window_.SystemsEnabled)
    SystemsRefresh();
  else
    Systems_.clear();
  SetStatus("");
}

bool TWorkspace::SystemsRefresh() {
  TOperation op(*this, ChangeSystems);
  SetStatus("Загрузка списка систем...");
  Systems_.clear();
  bool ok = true;
  try {
    const TOnlineService service = CatalogueService();
    if (!service.Configured()) Systems_.push_back(PlaceholderSystem());
    const bool hadResult = PostSystemsList(service, [&](const TSystemInfo& row) {
      Systems_.push_back(row);
      TSystemInfo& info = Systems_.back();
      MarkSystem(info);
      // The local copy follows the catalogue.
      if (info.Downloaded && SystemFileOutdated(DataDir_, info)) {
        try {
          DownloadSystemRow(static_cast<int>(Systems_.size()) - 1);
        } catch (const EVexaError& e) {
          ok = false;
          Ui_.Message(TMessageKind::Error, Format(SystemDownloadErrorFormat, {info.Id}), e.what());
        }
      }
    });
    if (!hadResult) Systems_.push_back(PlaceholderSystem());
  } catch (const EVexaError& e) {
    ok = false;
    Ui_.Message(TMessageKind::Error, SystemsListErrorMessage, e.what());
  }
  SetStatus("");
  return ok;
}

void TWorkspace::DownloadSystemRow(int index) {
  const TSystemInfo info = Systems_[static_cast<size_t>(index)];
  SetStatus(Format("Загрузка \"%s\"...", {info.Title}));
  const std::string combs = PostSystemCombs(CatalogueService(), info.Id);
  StoreSystem(DataDir_, info, combs);
  for (TSystemInfo& other : Systems_)
    if (other.Nums == info.Nums) other.Downloaded = SystemFileExists(DataDir_, other);
}

int TWorkspace::SystemsDownload(const std::vector<int32_t>& ids) {
  std::vector<int> rows;
  for (int32_t id : ids) {
    const int index = SystemIndex(id);
    if (index < 0) throw EVexaError(Format(SystemDownloadErrorFormat, {id}), "Система не найдена в списке");
    rows.push_back(index);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  TOperation op(*this, ChangeSystems);
  int stored = 0;
  for (int index : rows) {
    try {
      DownloadSystemRow(index);
      ++stored;
    } catch (const EVexaError& e) {
      Ui_.Message(TMessageKind::Error, Format(SystemDownloadErrorFormat, {Systems_[static_cast<size_t>(index)].Id}),
                  e.what());
    }
  }
  SetStatus("");
  return stored;
}

TSystemData TWorkspace::SystemData(int32_t id) {
  const int index = SystemIndex(id);
  if (index < 0) throw EVexaError(SystemPropErrorMessage, Format("Система #%d не найдена в списке", {id}));
  TOperation op(*this, 0);
  TSystemData data;
  static_cast<TSystemInfo&>(data) = Systems_[static_cast<size_t>(index)];
  try {
    SetStatus(Format("Загрузка \"%s\"...", {data.Title}));
    data.Combs = PostSystemCombs(CatalogueService(), id);
  } catch (const EVexaError& e) {
    SetStatus("");
    throw EVexaError(SystemPropErrorMessage, e.what());
  }
  SetStatus("");
  return data;
}

TSystemData TWorkspace::SystemNew() const {
  TSystemData data;
  data.Id = 0;
  data.Author = Online_.UserName;
  data.AuthorMail = Online_.UserMail;
  data.Own = true;
  return data;
}

int TWorkspace::SystemsAdd(const TSystemData& data) {
  TOperation op(*this, ChangeSystems);
  TSystemData d = data;
  d.Id = 0;
  if (Trim(d.AuthorMail).empty()) d.AuthorMail = Online_.UserMail;
  SetStatus(Format("Сохранение \"%s\"...", {d.Title}));
  int32_t id = -1;
  try {
    id = PostSystemPut(CatalogueService(), d, false);
  } catch (const EVexaError& e) {
    SetStatus("");
    throw EVexaError(Format(SystemSaveErrorFormat, {d.Id}), e.what());
  }
  SetStatus("");
  if (id < 0) throw EVexaError(SystemAddErrorMessage, "Сервер не подтвердил сохранение системы");
  TSystemInfo info = d;
  info.Id = id;
  MarkSystem(info);
  // The placeholder goes once the catalogue holds a system.
  std::erase_if(Systems_, [](const TSystemInfo& s) { return s.IsPlaceholder(); });
  Systems_.push_back(info);
  return static_cast<int>(Systems_.size()) - 1;
}

void TWorkspace::SystemsProp(const TSystemData& data) {
  const int index = SystemIndex(data.Id);
  if (index < 0) throw EVexaError(SystemPropErrorMessage, Format("Система #%d не найдена в списке", {data.Id}));
  if (!Systems_[static_cast<size_t>(index)].Own) throw EVexaError(SystemPropErrorMessage, SystemNotOwnEditMessage);
  TOperation op(*this, ChangeSystems);
  SetStatus(Format("Сохранение \"%s\"...", {data.Title}));
  int32_t id = -1;
  try {
    id = PostSystemPut(CatalogueService(), data, false);
  } catch (const EVexaError& e) {
    SetStatus("");
    throw EVexaError(Format(SystemSaveErrorFormat, {data.Id}), e.what());
  }
  SetStatus("");
  if (id < 0) throw EVexaError(SystemPropErrorMessage, "Сервер не подтвердил сохранение системы");
  TSystemInfo info = data;
  info.Id = id;
  MarkSystem(info);
  Systems_[static_cast<size_t>(index)] = info;
}

bool TWorkspace::SystemsDel(int32_t id) {
  RequireIdle();
  const int index = SystemIndex(id);
  if (index < 0) throw EVexaError(SystemDelErrorMessage, Format("Система #%d не найдена в списке", {id}));
  const TSystemInfo info = Systems_[static_cast<size_t>(index)];
  if (!info.Own) throw EVexaError(SystemNotOwnDeleteMessage);
  if (!Ui_.Ask(Format(SystemDeleteQuestionFormat, {info.Title}), QuestionTitle, true)) return false;
  TOperation op(*this, ChangeSystems);
  SetStatus(Format("Удаление \"%s\"...", {info.Title}));
  TSystemData d;
  static_cast<TSystemInfo&>(d) = info;
  int32_t result = -1;
  try {
    result = PostSystemPut(CatalogueService(), d, true);
  } catch (const EVexaError& e) {
    SetStatus("");
    throw EVexaError(Format(SystemSaveErrorFormat, {id}), e.what());
  }
  SetStatus("");
  if (result != 0) return false;
  std::error_code ec;
  std::filesystem::remove(SystemFilePath(DataDir_, info), ec);
  Systems_.erase(Systems_.begin() + index);
  return true;
}

// ---- System play -------------------------------------------------------------------------

TWorkspace::TSystemPlayDraft TWorkspace::SystemPlayPrepare(bool filter) {
  if (Combs_.Count() == 0) throw EVexaError("Список комбинаций пуст!");
  if (!Stakes_.IsOpen()) throw EVexaError(StakesNotOpenMessage);
  TOperation op(*this, 0);
  SetStatus("Подождите пожалуйста...");
  TSystemPlayDraft draft;
  draft.Filter = filter;
  std::array<bool, MaxNumber + 1> seen{};
  for (const TComb& comb : Combs_.Combs()) {
    for (uint8_t n : comb) {
      if (n < 1 || n > MaxNumber || seen[n]) continue;
      seen[n] = true;
      draft.Numbers.push_back(n);
    }
    if (draft.Numbers.size() >= static_cast<size_t>(MaxNumber)) break;
  }
  draft.System = ExpandSystem(draft.Numbers, DataDir_, Relay_);
  SetStatus("");
  if (!draft.System.Ok) return draft;
  draft.Ok = true;
  draft.Input.DrawNumber = Archive_.NextDrawNumber(Archive_.DrawsOffset());
  draft.Input.DrawsCount = 1;
  draft.Input.Comment =
      Format(filter ? "Системная игра для %d чисел [комбинации]: %s" : "Системная игра для %d чисел [вся система]: %s",
             {static_cast<int>(draft.Numbers.size()), draft.System.File.stem().string()});
  return draft;
}

TStakeInputCheck TWorkspace::SystemPlay(const TSystemPlayDraft& draft, const TMultiStakeInput& input, int* added) {
  if (added != nullptr) *added = 0;
  if (!draft.Ok) throw EVexaError(Format(SystemNotFoundFormat, {static_cast<int>(draft.Numbers.size())}));
  const TStakeInputCheck check = CheckMultiStake(input);
  if (!check.Message.empty()) return check;
  TOperation op(*this, ChangeStakes | ChangeRatings);
  SetStatus("Создание ставок...");
  std::unordered_set<uint64_t> inList;
  if (draft.Filter)
    for (const TComb& comb : Combs_.Combs()) inList.insert(PackComb(comb));
  const int32_t combsCount =
      draft.Filter ? Combs_.Count() : static_cast<int32_t>(draft.System.Combs.size());
  int count = 0;
  for (TComb comb : draft.System.Combs) {
    SortComb(comb);
    if (draft.Filter && inList.count(PackComb(comb)) == 0) continue;
    const TStakeRec stake = NewStake(StakeSystem, static_cast<int32_t>(input.DrawNumber), combsCount,
                                     CombToNumList(comb), input.Comment, Stats_.Config);
    try {
      Stakes_.AppendStake(stake, static_cast<int>(input.DrawsCount), true, Relay_);
    } catch (const EVexaError& e) {
      Ui_.Message(TMessageKind::Error, e.what());
      break;
    }
    ++count;
  }
  if (count > 0) CheckStakesNow();
  SetStatus("");
  if (added != nullptr) *added = count;
  return {};
}

int TWorkspace::PlaySystemDirect(bool filter) {
  const TSystemPlayDraft draft = SystemPlayPrepare(filter);
  if (!draft.Ok) throw EVexaError(draft.System.Error);
  int added = 0;
  const TStakeInputCheck check = SystemPlay(draft, draft.Input, &added);
  if (!check.Message.empty()) throw EVexaError(check.Message);
  return added;
}

// ---- Script library -------------------------------------------------------------------------

int TWorkspace::LibraryIndex(int32_t id) const {
  for (size_t i = 0; i < Library_.size(); ++i)
    if (Library_[i].Id == id) return static_cast<int>(i);
  return -1;
}

int TWorkspace::ScriptLibraryFilterIndex() const {
  const int index = Window_.ScriptLibraryFilter;
  return index < 0 || index >= LibraryFilterCount ? LibraryFilterDefaultIndex : index;
}

bool TWorkspace::ScriptLibraryRefresh(std::optional<int> filterIndex) {
  TOperation op(*this, ChangeLibrary);
  if (filterIndex) {
    if (*filterIndex < 0 || *filterIndex >= LibraryFilterCount)
      throw EVexaError(Format("Недопустимый фильтр сценариев: %d", {LibraryFilterId(*filterIndex)}));
    Window_.ScriptLibraryFilter = *filterIndex;
  }
  Library_.clear();
  if (!Window_.ScriptLibraryOn) return true;
  SetStatus("Загрузка online-каталога сценариев...");
  bool ok = true;
  try {
    PostLibraryList(LibraryService(), LibraryFilterId(ScriptLibraryFilterIndex()),
                    [&](const TScriptInfo& info) { Library_.push_back(info); });
  } catch (const EVexaError& e) {
    ok = false;
    Ui_.Message(TMessageKind::Error, LibraryListErrorMessage, e.what());
  }
  SetStatus("");
  return ok;
}

void TWorkspace::ScriptLibrary() {
  TOperation op(*this, ChangeLibrary | ChangeSettings);
  WriteWindowFlag("ScriptLibraryOn", !Window_.ScriptLibraryOn, Window_.ScriptLibraryOn);
  ScriptLibraryRefresh();
}

std::string TWorkspace::FetchLibraryScript(int32_t id) {
  const int index = LibraryIndex(id);
  if (index < 0) throw EVexaError(LibraryDownloadErrorMessage, Format("Сценарий #%d не найден в списке", {id}));
  if (!Library_[static_cast<size_t>(index)].Compatible)
    throw EVexaError(LibraryDownloadErrorMessage, LibraryNotCompatibleMessage);
  SetStatus("Скачивание сценария из online-каталога...");
  std::string text;
  try {
    text = PostLibraryScript(LibraryService(), id);
  } catch (const EVexaError& e) {
    SetStatus("");
    throw EVexaError(LibraryDownloadErrorMessage, e.what());
  }
  SetStatus("");
  if (text.empty()) throw EVexaError(LibraryDownloadErrorMessage, "Сервер не вернул текст сценария");
  return text;
}

void TWorkspace::ScriptLibraryDownload(int32_t id) {
  TOperation op(*this, ChangeScript);
  const std::string text = FetchLibraryScript(id);
  std::vector<std::string> lines;
  SplitLines(text, lines);
  try {
    Scripts_.Assign(lines);
  } catch (const EVexaError& e) {
    throw EVexaError(LibraryDownloadErrorMessage, e.what());
  }
}

void TWorkspace::ScriptLibraryDownloadTo(int32_t id, const std::filesystem::path& file) {
  TOperation op(*this, 0);
  const std::string text = FetchLibraryScript(id);
  std::vector<std::string> lines;
  SplitLines(text, lines);
  for (std::string& line : lines) line = StorableScriptLine(line);
  WriteScriptFile(file, lines);
}

TScriptData TWorkspace::ScriptLibraryNewData() const {
  TScriptData data;
  data.Id = -1;
  data.Author = Online_.UserName;
  data.Language = BuiltInLanguage;
  data.Universal = false;
  data.Public = true;
  return data;
}

bool TWorkspace::ScriptLibraryTitleFree(int32_t id, std::string_view title) {
  TOperation op(*this, 0);
  try {
    return PostLibraryTitleFree(LibraryService(), id, title);
  } catch (const EVexaError& e) {
    Ui_.Message(TMessageKind::Error, LibraryTitleCheckErrorMessage, e.what());
    return false;
  }
}

TScriptDataCheck TWorkspace::ScriptLibraryUpload(const TScriptData& data) { return PublishScript(data, false); }
TScriptDataCheck TWorkspace::ScriptLibraryReplace(const TScriptData& data) { return PublishScript(data, true); }

TScriptDataCheck TWorkspace::PublishScript(const TScriptData& data, bool replace) {
  RequireIdle();
  TScriptData d = data;
  d.Title = std::string(Trim(d.Title));
  d.Author = std::string(Trim(d.Author));
  int index = -1;
  if (replace) {
    index = LibraryIndex(d.Id);
    if (index < 0) throw EVexaError(LibraryPublishErrorMessage, Format("Сценарий #%d не найден в списке", {d.Id}));
    if (!Library_[static_cast<size_t>(index)].Editable)
      throw EVexaError(LibraryPublishErrorMessage, LibraryNotEditableMessage);
  } else {
    d.Id = -1;
  }
  if (Scripts_.Empty()) throw EVexaError(LibraryPublishErrorMessage, LibraryEmptyScriptMessage);
  if (d.Title.empty()) return {LibraryTitleMissingMessage, TScriptField::Title};
  if (Utf8ToCp1251(d.Title).size() > static_cast<size_t>(LibraryTitleMaxLength))
    return {Format("Название сценария не может быть длиннее %d символов!", {LibraryTitleMaxLength}),
            TScriptField::Title};
  if (!ScriptLibraryTitleFree(d.Id, d.Title)) return {LibraryTitleTakenMessage, TScriptField::Title};
  if (d.Author.empty()) return {LibraryAuthorMissingMessage, TScriptField::Author};
  if (Utf8ToCp1251(d.Author).size() > static_cast<size_t>(LibraryAuthorMaxLength))
    return {Format("Имя автора не может быть длиннее %d символов!", {LibraryAuthorMaxLength}), TScriptField::Author};

  TOperation op(*this, ChangeLibrary);
  SetStatus("Сохранение сценария в базе данных...");
  int32_t id = -1;
  try {
    id = PostLibraryPut(LibraryService(), d, JoinScript(Scripts_.Lines()));
  } catch (const EVexaError& e) {
    SetStatus("");
    throw EVexaError(LibrarySaveErrorMessage, e.what());
  }
  SetStatus("");
  if (id <= 0) throw EVexaError(LibrarySaveErrorMessage, "Сервер не подтвердил сохранение сценария");
  TScriptInfo row = replace ? Library_[static_cast<size_t>(index)] : TScriptInfo{};
  row.Id = id;
  row.ProgramVersion = ProgramVersion();
  row.Created = LocalNow();
  row.Author = d.Author;
  row.Language = d.Language;
  row.Universal = d.Universal;
  row.Public = d.Public;
  row.Title = d.Title;
  row.Descr = d.Descr;
  if (!replace) {
    row.Program = ProgramBaseName;
    row.AuthorMail = Online_.UserMail;
    row.Own = row.Compatible = row.Editable = true;
    Library_.push_back(row);
  } else {
    Library_[static_cast<size_t>(index)] = row;
  }
  TScriptDataCheck done;
  done.Id = id;
  return done;
}

bool TWorkspace::ScriptLibraryDelete(int32_t id) {
  RequireIdle();
  const int index = LibraryIndex(id);
  if (index < 0) throw EVexaError(LibraryPublishErrorMessage, Format("Сценарий #%d не найден в списке", {id}));
  const TScriptInfo info = Library_[static_cast<size_t>(index)];
  if (!info.Editable) throw EVexaError(LibraryPublishErrorMessage, LibraryNotEditableMessage);
  if (!Ui_.Ask(Format(LibraryDeleteQuestionFormat, {info.Title}), QuestionTitle, true)) return false;
  TOperation op(*this, ChangeLibrary);
  SetStatus("Удаление сценария из базы данных...");
  int32_t result = -1;
  try {
    result = PostLibraryDelete(LibraryService(), ScriptDataOf(info));
  } catch (const EVexaError& e) {
    SetStatus("");
    throw EVexaError(LibraryDeleteErrorMessage, e.what());
  }
  SetStatus("");
  if (result != 0) throw EVexaError(LibraryDeleteErrorMessage, Format("Код возврата: %d", {result}));
  Library_.erase(Library_.begin() + index);
  return true;
}

void TWorkspace::ScriptLibraryRate(int32_t id, int value, std::string_view notes) {
  if (value < -1 || value > 5) throw EVexaError(LibraryRateErrorMessage, Format("Недопустимая оценка: %d", {value}));
  TOperation op(*this, ChangeLibrary);
  SetStatus("Отправка оценки на сервер...");
  try {
    PostLibraryRate(LibraryService(), id, value, notes);
  } catch (const EVexaError& e) {
    SetStatus("");
    throw EVexaError(LibraryRateErrorMessage, e.what());
  }
  SetStatus("");
  ScriptLibraryRefresh();
}

TScriptRates TWorkspace::ScriptLibraryRates(int32_t id) {
  TOperation op(*this, 0);
  SetStatus("Загрузка списка оценок...");
  try {
    TScriptRates rates = PostLibraryRates(LibraryService(), id);
    SetStatus("");
    return rates;
  } catch (const EVexaError& e) {
    SetStatus("");
    throw EVexaError(LibraryRatesErrorMessage, e.what());
  }
}

}  // namespace vexa
