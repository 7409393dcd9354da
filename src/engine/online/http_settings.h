// Addresses of the online services and the certificate policy, section
// HTTP of the settings file "Korvane_6x45.ini":
//
//   [HTTP]
//   ResultsBaseUrl=        results site; the month pages are <base>/korvane/results/<month>-<year>
//   ProxyListUrl=          proxy-list service of the automatic proxy mode
//   VerifyCertificates=1   0 accepts any server certificate (a self-hosted server)
//   CaFile=                PEM file of certificates trusted besides the system's;
//                          a relative name is taken from the data folder
//
// Nothing in this section is written by the program; an empty address means
// the service is not configured.
#pragma once

#include <filesystem>
#include <string>

#include "core/ini_file.h"
#include "online/http.h"

namespace vexa {

inline constexpr const char* HttpSection = "HTTP";

struct THttpSettings {
  std::string ResultsBaseUrl;
  std::string ProxyListUrl;
  bool VerifyCertificates = true;
  std::string CaFile;
};

void ReadHttpSettings(const TIniFile& ini, THttpSettings& settings);
// Throws EVexaError with ConfigReadErrorFormat and leaves the record untouched.
void ReadHttpSettings(const std::filesystem::path& file, THttpSettings& settings);

// The certificate policy with CaFile resolved against the data folder.
TTlsOptions TlsOptionsOf(const THttpSettings& settings, const std::filesystem::path& dataDir);

}  // namespace vexa
