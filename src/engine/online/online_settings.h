// Settings of the online services (the systems catalogue and the script
// library), section Online of the settings file "Korvane_6x45.ini":
//
//   [Online]
//   CatalogueUrl=   base address of the systems catalogue ("" = not configured)
//   LibraryUrl=     base address of the script library ("" = not configured)
//   UserName=       the user's name, sent as cl_name and shown as the author
//   UserMail=       the user's e-mail, sent as cl_mail; decides what is "own"
//   InstallSecret=  64 hex digits, made once at random on first use
//
// The services never see the secret: each gets hwdid = HMAC-SHA256(secret,
// its base address) in hex, so one server never learns what another accepts
// from this installation. The settings file is kept at mode 0600 once it
// holds the secret. Posted text is UTF-8.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/ini_file.h"
#include "core/languages.h"

namespace vexa {

inline constexpr const char* OnlineSection = "Online";
// This program's application identifier (appid): compatible scripts of the
// library carry it.
inline constexpr const char* ProgramAppId = "{8C3E5A41-27D9-4F6B-B1E0-5D9A7C24E613}";
inline constexpr const char* NoServiceFormat =
    "Адрес online-сервиса не настроен (ключ %s раздела Online файла настроек)";

struct TOnlineSettings {
  std::string CatalogueUrl;
  std::string LibraryUrl;
  std::string UserName;
  std::string UserMail;
  std::string InstallSecret;
};

void ReadOnlineSettings(const TIniFile& ini, TOnlineSettings& settings);
// Throws EVexaError with ConfigReadErrorFormat; the record stays untouched.
void ReadOnlineSettings(const std::filesystem::path& file, TOnlineSettings& settings);
// Every key but the secret (the configuration table shows it masked).
void WriteOnlineSettings(TIniFile& ini, const TOnlineSettings& settings);

// 32 random bytes as 64 lowercase hex digits (OpenSSL's generator).
std::string NewInstallSecret();
// settings.InstallSecret, made and stored first when it is empty; the
// settings file is then written with mode 0600. Throws ConfigWriteErrorFormat.
const std::string& EnsureInstallSecret(const std::filesystem::path& file, TOnlineSettings& settings);
// Stores the user identity (trimmed) in the file and the record.
void WriteUserIdentity(const std::filesystem::path& file, TOnlineSettings& settings, std::string_view name,
                       std::string_view mail);

// HMAC-SHA256 of the base address under the secret, 64 lowercase hex digits.
std::string HardwareId(std::string_view secret, std::string_view baseUrl);

// What every request says about this installation and its user.
struct TOnlineIdentity {
  std::string AppId = ProgramAppId;
  std::string AppVer;  // the program's version
  std::string HwdId;   // HardwareId of the service's base address
  std::string Name;    // the user's name
  std::string Mail;    // the user's e-mail
  int32_t Lcid = BuiltInLanguage;
};

// True when both e-mails are the same ignoring case (and neither is empty).
bool SameMail(std::string_view a, std::string_view b);

// The three-letter abbreviation of a language id as the library list shows
// it ("RUS" for 1049); "" for an unknown one.
std::string LanguageAbbreviation(int32_t lcid);

}  // namespace vexa
