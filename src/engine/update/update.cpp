#include "update/update.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <zlib.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <system_error>
#include <thread>

#include "core/codec.h"
#include "core/error.h"
#include "core/format.h"
#include "online/http.h"
#include "update_key.h"

namespace vexa {
namespace fs = std::filesystem;

namespace {

// True when the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > text.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

std::string Trim(std::string_view s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool IsWebAddress(std::string_view address) {
  const std::string l = Lower(std::string(address.substr(0, 8)));
  return l.rfind("http://", 0) == 0 || l.rfind("https://", 0) == 0;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw EVexaError(Format("Файл \"%s\" не найден!", {file.string()}));
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// "SysError #%d: \"%s\"!" of errno.
std::string SysErrorText(int code) {
  if (code == 0) return std::string(std::strerror(0)) + ".";
  return Format("SysError #%d: \"%s\"!", {code, std::strerror(code)});
}

constexpr const char* NotFoundFormat = "Файл \"%s\" не найден!";

}  // namespace

int64_t BuildNumber(std::string_view version) {
  std::vector<std::string> words;
  std::string word;
  for (char c : version) {
    if (c == '.' || c == ',' || c == '-' || c == '_') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  if (words.size() < 4) return 0;
  const std::string w = Trim(words[3]);
  if (w.empty()) return 0;
  char* end = nullptr;
  const long long v = std::strtoll(w.c_str(), &end, 10);
  return *end == '\0' ? v : 0;
}

std::vector<std::string> SplitUpdateNames(std::string_view list) {
  std::vector<std::string> names;
  size_t i = 0;
  while (i <= list.size()) {
    const size_t j = list.find(';', i);
    const std::string name = Trim(list.substr(i, j == std::string_view::npos ? std::string_view::npos : j - i));
    if (!name.empty()) names.push_back(name);
    if (j == std::string_view::npos) break;
    i = j + 1;
  }
  return names;
}

TUpdateInfo ReadUpdateInfo(const TIniFile& ini, std::string_view program, std::string_view runningVersion) {
  TUpdateInfo u;
  u.VerId = ini.ReadString(program, "VerId", runningVersion);
  u.Description = ini.ReadString(program, "Description", "");
  u.DownloadUrl = Trim(ini.ReadString(program, "DownloadUrl", ""));
  u.OriginalFileName = Trim(ini.ReadString(program, "OriginalFileName", ""));
  u.ChecksumCRC32 = Trim(ini.ReadString(program, "ChecksumCRC32", ""));
  u.SignatureUrl = Trim(ini.ReadString(program, "SignatureUrl", ""));
  u.GlobalDeleteAfter = ini.ReadString(UpdateGlobalSection, "DeleteAfter", "");
  u.GlobalDeleteBefore = ini.ReadString(UpdateGlobalSection, "DeleteBefore", "");
  u.GlobalExecAfter = ini.ReadString(UpdateGlobalSection, "ExecAfter", "");
  u.GlobalExecBefore = ini.ReadString(UpdateGlobalSection, "ExecBefore", "");
  u.DeleteAfter = ini.ReadString(program, "DeleteAfter", "");
  u.DeleteBefore = ini.ReadString(program, "DeleteBefore", "");
  u.ExecAfter = ini.ReadString(program, "ExecAfter", "");
  u.ExecBefore = ini.ReadString(program, "ExecBefore", "");
  return u;
}

bool UpdateAvailable(const TUpdateInfo& info, std::string_view runningVersion) {
  return BuildNumber(runningVersion) < BuildNumber(info.VerId) && !info.DownloadUrl.empty();
}

std::string FileCrc32Text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw EVexaError(Format(NotFoundFormat, {file.string()}));
  uLong crc = crc32_z(0, nullptr, 0);
  std::vector<char> block(32768);
  while (in) {
    in.read(block.data(), static_cast<std::streamsize>(block.size()));
    crc = crc32_z(crc, reinterpret_cast<const Bytef*>(block.data()), static_cast<size_t>(in.gcount()));
  }
  char text[9];
  std::snprintf(text, sizeof text, "%08lX", crc);
  return text;
}

bool VerifyEd25519(std::string_view data, std::string_view signature, const std::vector<std::string>& keysPem) {
  for (const std::string& pem : keysPem) {
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())), BIO_free);
    if (!bio) continue;
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr),
                                                            EVP_PKEY_free);
    if (!key || EVP_PKEY_id(key.get()) != EVP_PKEY_ED25519) continue;
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, nullptr, nullptr, key.get()) != 1) continue;
    if (EVP_DigestVerify(ctx.get(), reinterpret_cast<const unsigned char*>(signature.data()), signature.size(),
                         reinterpret_cast<const unsigned char*>(data.data()), data.size()) == 1)
      return true;
  }
  return false;
}

const char* BuiltInUpdateKeyPem() { return UpdateKeyPem; }

const char* ProgramVersion() {
#ifdef VEXA_VERSION
  return VEXA_VERSION;
#else
  return "1.0.0.1";
#endif
}

std::vector<std::string> TrustedUpdateKeys(const fs::path& settingsFile) {
  std::vector<std::string> keys{BuiltInUpdateKeyPem()};
  const TIniFile ini(settingsFile);
  const std::string name = Trim(ini.ReadString(UpdateSettingsSection, UpdateTrustedKeyKey, ""));
  if (!name.empty()) {
    fs::path file = name;
    if (file.is_relative()) file = settingsFile.parent_path() / file;
    keys.push_back(ReadAll(file));
  }
  return keys;
}

fs::path BackupName(const fs::path& file) {
  fs::path name = file;
  do {
    const std::string ext = name.extension().string();  // ".exe" or ""
    fs::path next = name;
    next.replace_extension(ext.empty() ? std::string(".~") : ".~" + ext.substr(1));
    name = next;
  } while (fs::exists(name));
  return name;
}

int RunProgram(const fs::path& program, const fs::path& folder, int timeoutMs) {
  const pid_t pid = ::fork();
  if (pid < 0) throw EVexaError(SysErrorText(errno));
  if (pid == 0) {
    ::setpgid(0, 0);
    if (::chdir(folder.c_str()) != 0) ::_exit(127);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid) {
      if (WIFEXITED(status)) {
        if (WEXITSTATUS(status) == 127) throw EVexaError(SysErrorText(ENOEXEC));
        return WEXITSTATUS(status);
      }
      return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(-pid, SIGKILL);
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      throw EVexaError(Format(
          "Ожидание завершения процесса (файла) \"%s\" прервано в связи с превышением времени ожидания!",
          {program.filename().string()}));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

void RestartProgram(const fs::path& program) {
  ::execl(program.c_str(), program.c_str(), "restart", static_cast<char*>(nullptr));
  throw EVexaError(SysErrorText(errno));
}

// ---- TUpdater ---------------------------------------------------------------------

void TUpdater::Fetch(const std::string& address, const fs::path& target) const {
  if (IsWebAddress(address)) {
    HttpGetToFile(address, target);
    return;
  }
  std::error_code ec;
  fs::copy_file(address, target, fs::copy_options::overwrite_existing, ec);
  if (ec) throw EVexaError(Format("Ошибка копирования файла \"%s\"!", {address}), ec.message());
}

int TUpdater::CheckForUpdates(const std::string& configAddress, bool silent, int languageId,
                              const TConfirm& confirm) {
  const fs::path configCopy = Env_.ProgramFolder / UpdateConfigCopy;
  int result = UpdateNothing;
  try {
    bool available = false;
    TUpdateOffer offer;
    try {
      offer = Check(configAddress, languageId, available);
    } catch (const std::exception& e) {
      Ui_.SetStatus("");
      if (!silent) Ui_.Message(TMessageKind::Error, "Ошибка поиска обновлений!", e.what());
      result = UpdateError;
      available = false;
    }
    if (result != UpdateError) {
      Ui_.SetStatus("");
      if (!available) {
        if (!silent) Ui_.Message(TMessageKind::Information, "Обновлений не найдено!");
      } else if (confirm && confirm(offer)) {
        if (::access(Env_.ProgramFolder.c_str(), W_OK) != 0) {
          // An installed copy: its files belong to the system's package manager.
          Ui_.Message(TMessageKind::Information,
                      "Программа установлена в системную папку и обновляется системным менеджером пакетов!",
                      Env_.ProgramFolder.string());
        } else {
          try {
            Install(offer.Info);
            Ui_.SetStatus("");
            Ui_.Message(TMessageKind::Attention,
                        Format("Установка обновления \"%s\" успешно выполнена.", {offer.Info.Description}),
                        "Для завершения установки необходимо перезапустить программу!");
            result = UpdateInstalled;
          } catch (const std::exception& e) {
            Ui_.SetStatus("");
            Ui_.Message(TMessageKind::Error, "Ошибка установки обновления!", e.what());
            result = UpdateError;
          }
        }
      }
    }
  } catch (const std::exception& e) {
    Ui_.Message(TMessageKind::Error, "Ошибка системы самообновления программы!", e.what());
    result = UpdateError;
  }
  std::error_code ignored;
  fs::remove(configCopy, ignored);
  return result;
}

TUpdateOffer TUpdater::Check(const std::string& configAddress, int languageId, bool& available) {
  constexpr const char* Text = "Поиск доступных обновлений...";
  constexpr int Steps = 5;
  int step = 0;
  Ui_.SetProgress(Text, step, Steps);
  // 1. Backups of files replaced by the last install.
  std::error_code ec;
  for (fs::directory_iterator it(Env_.ProgramFolder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && name.compare(dot, 2, ".~") == 0) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
  Ui_.SetProgress(Text, ++step, Steps);
  // 2. The running version.
  TUpdateOffer offer;
  offer.CurrentVersion = Env_.RunningVersion;
  Ui_.SetProgress(Text, ++step, Steps);
  // 3. The configuration.
  fs::create_directories(Env_.ProgramFolder);
  const fs::path configCopy = Env_.ProgramFolder / UpdateConfigCopy;
  Fetch(configAddress, configCopy);
  Ui_.SetProgress(Text, ++step, Steps);
  // 4. The program's record.
  const TIniFile ini(configCopy);
  offer.Info = ReadUpdateInfo(ini, Env_.ProgramFileName, Env_.RunningVersion);
  offer.Description = offer.Info.Description;
  Ui_.SetProgress(Text, ++step, Steps);
  // 5. The description.
  available = UpdateAvailable(offer.Info, Env_.RunningVersion);
  if (available) {
    const std::string& ver = offer.Info.VerId;
    const std::string folder = IsWebAddress(configAddress)
                                   ? UrlDirectory(configAddress) + "UpdDescr/"
                                   : (fs::path(configAddress).parent_path() / "UpdDescr").string() + "/";
    const fs::path local = Env_.ProgramFolder / ("UpdDescr_" + ver + ".txt");
    std::vector<std::string> names;
    if (languageId != 0) {
      names.push_back("UpdDescr_" + Env_.LanguageAbbreviation + "_" + ver + ".txt");
      names.push_back("UpdDescr_" + std::to_string(languageId) + "_" + ver + ".txt");
    }
    names.push_back("UpdDescr_" + ver + ".txt");
    fs::remove(local, ec);
    for (const std::string& name : names) {
      try {
        Fetch(folder + name, local);
        if (fs::exists(local)) break;
      } catch (const std::exception&) {
        // the next name
      }
    }
    if (fs::exists(local)) {
      std::string text = ReadAll(local);
      // Text files here are code page 1251; a description already in UTF-8 stays as it is.
      if (!IsUtf8(text)) text = Cp1251ToUtf8(text);
      size_t i = 0;
      while (i < text.size()) {
        size_t j = text.find('\n', i);
        if (j == std::string::npos) j = text.size();
        std::string line = text.substr(i, j - i);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        offer.DescriptionLines.push_back(line);
        i = j + 1;
      }
      fs::remove(local, ec);
    } else {
      offer.DescriptionLines = {NoDescriptionText};
    }
  }
  Ui_.SetProgress(Text, ++step, Steps);
  return offer;
}

void TUpdater::DeleteList(const std::string& list) const {
  for (const std::string& name : SplitUpdateNames(list)) {
    const fs::path file = Env_.ProgramFolder / name;
    std::error_code ec;
    if (fs::exists(file, ec) && !fs::remove(file, ec))
      throw EVexaError(Format("Ошибка удаления файла: %s", {file.string()}), SysErrorText(ec.value()));
  }
}

void TUpdater::ExecList(const std::string& list, const fs::path& folder) const {
  for (const std::string& name : SplitUpdateNames(list)) {
    const fs::path program = folder / name;
    if (fs::exists(program)) RunProgram(program, folder, Env_.ExecTimeoutMs);  // exit code not examined
  }
}

void TUpdater::ReplaceFile(const fs::path& source, const fs::path& target) const {
  const fs::path temp = target.string() + ".tmp";
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  fs::copy_file(source, temp, fs::copy_options::overwrite_existing, ec);
  if (ec) throw EVexaError(Format("Ошибка создания файла: %s", {target.string()}), SysErrorText(ec.value()));
  fs::permissions(temp, fs::status(source).permissions(), ec);
  if (fs::exists(target)) {
    // The running program stays under its backup name until the next check.
    const bool running = !Env_.RunningFile.empty() && fs::equivalent(target, Env_.RunningFile, ec);
    bool removed = !running && fs::remove(target, ec);
    if (!removed) {
      const int code = ec.value();
      if (!running && code != EBUSY && code != EACCES && code != EPERM && code != ETXTBSY && code != 0) {
        fs::remove(temp, ec);
        throw EVexaError(Format("Ошибка удаления файла: %s", {target.string()}), SysErrorText(code));
      }
      fs::rename(target, BackupName(target), ec);
      if (ec) {
        const int renameCode = ec.value();
        fs::remove(temp, ec);
        throw EVexaError(Format("Ошибка удаления файла: %s", {target.string()}), SysErrorText(renameCode));
      }
    }
  }
  fs::rename(temp, target, ec);
  if (ec) throw EVexaError(Format("Ошибка создания файла: %s", {target.string()}), SysErrorText(ec.value()));
}

void TUpdater::CopyFolder(const fs::path& from) const {
  for (fs::recursive_directory_iterator it(from), end; it != end; ++it) {
    if (!it->is_regular_file()) continue;
    const fs::path relative = fs::relative(it->path(), from);
    try {
      ReplaceFile(it->path(), Env_.ProgramFolder / relative);
    } catch (const EVexaError& e) {
      Ui_.Message(TMessageKind::Error, e.Message(), e.Cause());
      throw;
    }
  }
}

void TUpdater::Install(const TUpdateInfo& info) {
  if (BuildNumber(info.VerId) <= BuildNumber(Env_.RunningVersion))
    throw EVexaError("Версия обновления не новее установленной программы!");
  const std::string text = Format("Загрузка и установка обновления \"%s\"...", {info.VerId});
  constexpr int Steps = 14;
  int step = 0;
  const fs::path u = Env_.ProgramFolder / UpdateFolderName;
  const fs::path p = u / ("SelfUpdate_" + info.VerId + ".upd");
  const fs::path sig = u / ("SelfUpdate_" + info.VerId + ".sig");
  const fs::path x = u / info.OriginalFileName;
  std::error_code ec;
  struct TFolderGuard {  // step 14: the update folder goes, whatever happened
    fs::path Folder;
    ~TFolderGuard() {
      std::error_code ignored;
      fs::remove_all(Folder, ignored);
    }
  } guard{u};
  Ui_.SetProgress(text, step, Steps);
  fs::remove_all(u, ec);  // 1
  Ui_.SetProgress(text, ++step, Steps);
  fs::create_directories(u);  // 2
  Ui_.SetProgress(text, ++step, Steps);
  // 3. Download, signature and checksum; three attempts.
  for (int attempt = 1;; ++attempt) {
    try {
      fs::remove(p, ec);
      fs::remove(sig, ec);
      Fetch(info.DownloadUrl, p);
      if (!fs::exists(p)) throw EVexaError(Format(NotFoundFormat, {p.string()}));
      if (info.SignatureUrl.empty()) throw EVexaError("Пакет обновления не подписан: установка запрещена!");
      Fetch(info.SignatureUrl, sig);
      if (!VerifyEd25519(ReadAll(p), ReadAll(sig), Env_.TrustedKeysPem))
        throw EVexaError("Подпись пакета обновления неверна: установка запрещена!");
      if (!info.ChecksumCRC32.empty() && Lower(FileCrc32Text(p)) != Lower(info.ChecksumCRC32))
        throw EVexaError("Неверная контрольная сумма скачанного файла.");
      break;
    } catch (const EVexaError&) {
      if (attempt >= 3) throw;
    } catch (const std::exception& e) {
      if (attempt >= 3) throw EVexaError(e.what());
    }
  }
  fs::remove(sig, ec);
  Ui_.SetProgress(text, ++step, Steps);
  if (info.OriginalFileName.empty() || x.filename() != fs::path(info.OriginalFileName).filename())
    throw EVexaError(Format(NotFoundFormat, {x.string()}));
  fs::rename(p, x, ec);  // 4
  if (ec) throw EVexaError(SysErrorText(ec.value()));
  Ui_.SetProgress(text, ++step, Steps);
  if (!fs::exists(x)) throw EVexaError(Format(NotFoundFormat, {x.string()}));  // 5
  Ui_.SetProgress(text, ++step, Steps);
  fs::permissions(x, fs::perms::owner_exec | fs::perms::owner_read | fs::perms::owner_write, ec);
  // 6. The system's last error says nothing about a child's exit code, so the code itself is named.
  if (const int code = RunProgram(x, u, Env_.ExecTimeoutMs); code != 0)
    throw EVexaError(Format("Пакет обновления \"%s\" завершился с кодом %d!", {x.filename().string(), code}));
  Ui_.SetProgress(text, ++step, Steps);
  for (int tries = 0; fs::exists(x); ++tries) {  // 7
    if (fs::remove(x, ec)) break;
    if (tries >= 100) throw EVexaError(SysErrorText(ec.value()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  Ui_.SetProgress(text, ++step, Steps);
  if (fs::is_empty(u)) throw EVexaError(Format(NotFoundFormat, {(u / "*.*").string()}));  // 8
  Ui_.SetProgress(text, ++step, Steps);
  DeleteList(info.GlobalDeleteBefore);  // 9
  DeleteList(info.DeleteBefore);
  Ui_.SetProgress(text, ++step, Steps);
  ExecList(info.GlobalExecBefore, u);  // 10
  ExecList(info.ExecBefore, u);
  Ui_.SetProgress(text, ++step, Steps);
  CopyFolder(u);  // 11
  Ui_.SetProgress(text, ++step, Steps);
  ExecList(info.GlobalExecAfter, u);  // 12
  ExecList(info.ExecAfter, u);
  Ui_.SetProgress(text, ++step, Steps);
  DeleteList(info.GlobalDeleteAfter);  // 13
  DeleteList(info.DeleteAfter);
  Ui_.SetProgress(text, ++step, Steps);
}

}  // namespace vexa
