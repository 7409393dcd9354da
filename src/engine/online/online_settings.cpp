#include "online/online_settings.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <array>

#include "core/error.h"
#include "core/format.h"
#include "core/game.h"
#include "core/list_compare.h"
#include "core/settings.h"

namespace vexa {
namespace {

std::string Hex(const unsigned char* bytes, size_t count) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text.push_back(Digits[bytes[i] >> 4]);
    text.push_back(Digits[bytes[i] & 15]);
  }
  return text;
}

bool IsSecretText(std::string_view text) {
  if (text.size() != 64) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

}  // namespace

void ReadOnlineSettings(const TIniFile& ini, TOnlineSettings& settings) {
  TOnlineSettings s;
  auto read = [&](const char* key) { return std::string(Trim(ini.ReadString(OnlineSection, key, ""))); };
  s.CatalogueUrl = read("CatalogueUrl");
  s.LibraryUrl = read("LibraryUrl");
  s.UserName = read("UserName");
  s.UserMail = read("UserMail");
  s.InstallSecret = read("InstallSecret");
  // A damaged secret is made again rather than used: it would be a weak key.
  if (!IsSecretText(s.InstallSecret)) s.InstallSecret.clear();
  settings = std::move(s);
}

void ReadOnlineSettings(const std::filesystem::path& file, TOnlineSettings& settings) {
  try {
    const TIniFile ini(file, SettingsFileMode);
    ReadOnlineSettings(ini, settings);
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ConfigReadErrorFormat, {std::string(e.what())}));
  }
}

void WriteOnlineSettings(TIniFile& ini, const TOnlineSettings& settings) {
  ini.WriteString(OnlineSection, "CatalogueUrl", settings.CatalogueUrl);
  ini.WriteString(OnlineSection, "LibraryUrl", settings.LibraryUrl);
  ini.WriteString(OnlineSection, "UserName", settings.UserName);
  ini.WriteString(OnlineSection, "UserMail", settings.UserMail);
}

std::string NewInstallSecret() {
  std::array<unsigned char, 32> bytes{};
  if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1)
    throw EVexaError("Не удалось получить случайные числа для идентификатора установки");
  return Hex(bytes.data(), bytes.size());
}

const std::string& EnsureInstallSecret(const std::filesystem::path& file, TOnlineSettings& settings) {
  if (!settings.InstallSecret.empty()) return settings.InstallSecret;
  const std::string secret = NewInstallSecret();
  try {
    TIniFile ini(file, SettingsFileMode);
    ini.WriteString(OnlineSection, "InstallSecret", secret);
    // The secret must not be readable by other users, whatever mode the file had.
    ini.UpdateFile(SettingsFileMode);
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ConfigWriteErrorFormat, {std::string(e.what())}));
  }
  settings.InstallSecret = secret;
  return settings.InstallSecret;
}

void WriteUserIdentity(const std::filesystem::path& file, TOnlineSettings& settings, std::string_view name,
                       std::string_view mail) {
  const std::string n(Trim(name));
  const std::string m(Trim(mail));
  try {
    TIniFile ini(file, SettingsFileMode);
    ini.WriteString(OnlineSection, "UserName", n);
    ini.WriteString(OnlineSection, "UserMail", m);
    ini.UpdateFile();
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ConfigWriteErrorFormat, {std::string(e.what())}));
  }
  settings.UserName = n;
  settings.UserMail = m;
}

std::string HardwareId(std::string_view secret, std::string_view baseUrl) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (HMAC(EVP_sha256(), secret.data(), static_cast<int>(secret.size()),
           reinterpret_cast<const unsigned char*>(baseUrl.data()), baseUrl.size(), digest, &length) == nullptr)
    throw EVexaError("Не удалось вычислить идентификатор установки");
  return Hex(digest, length);
}

bool SameMail(std::string_view a, std::string_view b) {
  a = Trim(a);
  b = Trim(b);
  return !a.empty() && !b.empty() && CompareTextNoCase(a, b) == 0;
}

std::string LanguageAbbreviation(int32_t lcid) {
  struct TLanguage {
    int32_t Id;
    const char* Abbr;
  };
  static constexpr TLanguage Languages[] = {
      {1049, "RUS"}, {1033, "ENU"}, {2057, "ENG"}, {1058, "UKR"}, {1059, "BEL"}, {1087, "KKZ"},
      {1031, "DEU"}, {1036, "FRA"}, {1034, "ESP"}, {3082, "ESN"}, {1040, "ITA"}, {1045, "PLK"},
      {1029, "CSY"}, {1063, "LTH"}, {1062, "LVI"}, {1061, "ETI"}, {1068, "AZE"}, {1067, "HYE"},
      {1079, "KAT"}, {1091, "UZB"}, {1055, "TRK"}, {1043, "NLD"}, {1053, "SVE"}, {1044, "NOR"},
      {1030, "DAN"}, {1035, "FIN"}, {1032, "ELL"}, {1038, "HUN"}, {1048, "ROM"}, {1026, "BGR"},
      {2074, "SRL"}, {1050, "HRV"}, {1060, "SLV"}, {1051, "SKY"}, {2070, "PTG"}, {1046, "PTB"},
      {1037, "HEB"}, {1025, "ARA"}, {1041, "JPN"}, {1042, "KOR"}, {2052, "CHS"}, {1028, "CHT"},
  };
  for (const TLanguage& l : Languages)
    if (l.Id == lcid) return l.Abbr;
  return {};
}

}  // namespace vexa
