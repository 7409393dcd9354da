// Self-update: the check against an update configuration file, the
// confirmation, and the install of a signed package.
//
// Addresses (configuration, package, signature, descriptions) are web
// addresses ("http://", "https://", any case) fetched with HttpGetToFile,
// or file paths copied from a local or network folder.
//
// Configuration file (INI): a section named after the program file with
//   VerId, Description, DownloadUrl, OriginalFileName, ChecksumCRC32,
//   SignatureUrl (address of the package's detached Ed25519 signature),
//   DeleteBefore, DeleteAfter, ExecBefore, ExecAfter
// and a section GlobalOptions with the four lists. Lists are names joined
// by ";" (runs count as one), each trimmed; delete lists are relative to
// the program folder, run lists to the update folder.
//
// Safety: a package is installed only with a signature that one of the
// trusted public keys accepts (the built-in key, and a key file a setting
// may name); only a higher build number than the running one; only into a
// program folder the user can write (a portable copy).
//
// Runs on the calling thread; not thread-safe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini_file.h"
#include "core/user_interface.h"

namespace vexa {

inline constexpr const char* UpdateConfigPath = "/files/autoupdates/Vexa_AU.cfg";
inline constexpr const char* UpdateConfigCopy = "SelfUpdates.inf";
inline constexpr const char* UpdateFolderName = "SelfUpdate";
inline constexpr const char* UpdateGlobalSection = "GlobalOptions";
inline constexpr const char* NoDescriptionText = "< Описание обновления не доступно >";
// Settings file key (section of UpdateSettingsSection): a PEM public key
// file trusted besides the built-in one, for a self-hosted update server.
inline constexpr const char* UpdateSettingsSection = "Update";
inline constexpr const char* UpdateTrustedKeyKey = "TrustedKeyFile";

inline constexpr int UpdateNothing = 0;
inline constexpr int UpdateInstalled = 1;
inline constexpr int UpdateError = 2;

// The thirteen texts of the configuration, and the signature's address.
struct TUpdateInfo {
  std::string VerId;
  std::string Description;
  std::string DownloadUrl;
  std::string OriginalFileName;
  std::string ChecksumCRC32;
  std::string GlobalDeleteAfter, GlobalDeleteBefore, GlobalExecAfter, GlobalExecBefore;
  std::string DeleteAfter, DeleteBefore, ExecAfter, ExecBefore;
  std::string SignatureUrl;
};

// What the confirmation dialog shows.
struct TUpdateOffer {
  std::string CurrentVersion;
  std::string Description;
  std::vector<std::string> DescriptionLines;
  TUpdateInfo Info;
};

struct TUpdateEnvironment {
  std::filesystem::path ProgramFolder;
  std::string ProgramFileName;  // the configuration's section name
  std::string RunningVersion;   // "1.0.0.12"
  // The running program's file: replaced only by renaming it to its backup name.
  std::filesystem::path RunningFile;
  std::string LanguageAbbreviation;  // "RUS"; with LanguageId
  std::vector<std::string> TrustedKeysPem;  // the built-in key comes first
  int ExecTimeoutMs = 60000;
};

// The build number: the fourth word of a version, words separated by
// ".", ",", "-", "_" (runs as one); unreadable or missing 0.
int64_t BuildNumber(std::string_view version);
// Names of a ";" list, trimmed, empty ones dropped.
std::vector<std::string> SplitUpdateNames(std::string_view list);
// The program's section, then GlobalOptions; VerId defaults to the running version.
TUpdateInfo ReadUpdateInfo(const TIniFile& ini, std::string_view programFileName, std::string_view runningVersion);
bool UpdateAvailable(const TUpdateInfo& info, std::string_view runningVersion);

// CRC-32 (IEEE 802.3) of a file as 8 capital hexadecimal digits.
std::string FileCrc32Text(const std::filesystem::path& file);
// True when one of the PEM public keys accepts the Ed25519 signature of the data.
bool VerifyEd25519(std::string_view data, std::string_view signature, const std::vector<std::string>& keysPem);
// The running version, "1.0.0.1" unless the build says otherwise.
const char* ProgramVersion();
// The built-in key, then the key file the settings name (relative to the
// data folder); a named file that cannot be read throws.
std::vector<std::string> TrustedUpdateKeys(const std::filesystem::path& settingsFile);
// The public key the program trusts out of the box.
const char* BuiltInUpdateKeyPem();

// "a.exe" -> "a.~exe" (no extension: "a.~"), repeated while such a file exists.
std::filesystem::path BackupName(const std::filesystem::path& file);
// Runs the program with a working folder; kills it after timeoutMs and
// throws. Returns the exit code. Throws EVexaError when it cannot start.
int RunProgram(const std::filesystem::path& program, const std::filesystem::path& folder, int timeoutMs);
// Replaces the program with itself run with the single argument "restart".
// Returns only when that failed (then throws).
[[noreturn]] void RestartProgram(const std::filesystem::path& program);

class TUpdater {
 public:
  using TConfirm = std::function<bool(const TUpdateOffer&)>;
  TUpdater(TUpdateEnvironment env, TUserInterface& ui) : Env_(std::move(env)), Ui_(ui) {}

  // The check, the confirmation (also when silent) and the install.
  // languageId 0: no language. Returns UpdateNothing, UpdateInstalled or UpdateError.
  int CheckForUpdates(const std::string& configAddress, bool silent, int languageId, const TConfirm& confirm);

 private:
  TUpdateOffer Check(const std::string& configAddress, int languageId, bool& available);
  void Install(const TUpdateInfo& info);
  void Fetch(const std::string& address, const std::filesystem::path& target) const;
  void DeleteList(const std::string& list) const;
  void ExecList(const std::string& list, const std::filesystem::path& folder) const;
  void CopyFolder(const std::filesystem::path& from) const;
  void ReplaceFile(const std::filesystem::path& source, const std::filesystem::path& target) const;

  TUpdateEnvironment Env_;
  TUserInterface& Ui_;
};

}  // namespace vexa
