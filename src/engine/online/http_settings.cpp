#include "online/http_settings.h"

#include "core/error.h"
#include "core/format.h"
#include "core/game.h"
#include "core/settings.h"

namespace vexa {

void ReadHttpSettings(const TIniFile& ini, THttpSettings& settings) {
  THttpSettings s;
  s.ResultsBaseUrl = std::string(Trim(ini.ReadString(HttpSection, "ResultsBaseUrl", "")));
  s.ProxyListUrl = std::string(Trim(ini.ReadString(HttpSection, "ProxyListUrl", "")));
  s.VerifyCertificates = ini.ReadBool(HttpSection, "VerifyCertificates", true);
  s.CaFile = std::string(Trim(ini.ReadString(HttpSection, "CaFile", "")));
  settings = std::move(s);
}

void ReadHttpSettings(const std::filesystem::path& file, THttpSettings& settings) {
  try {
    const TIniFile ini(file, SettingsFileMode);
    ReadHttpSettings(ini, settings);
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ConfigReadErrorFormat, {std::string(e.what())}));
  }
}

TTlsOptions TlsOptionsOf(const THttpSettings& settings, const std::filesystem::path& dataDir) {
  TTlsOptions tls;
  tls.VerifyCertificates = settings.VerifyCertificates;
  if (!settings.CaFile.empty()) {
    const std::filesystem::path file(settings.CaFile);
    tls.CaFile = file.is_absolute() ? file : dataDir / file;
  }
  return tls;
}

}  // namespace vexa
