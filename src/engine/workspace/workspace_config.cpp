// The workspace's settings file as a table, and one key written to it.
#include "core/error.h"
#include "core/format.h"
#include "core/ini_file.h"
#include "core/list_compare.h"
#include "workspace/workspace.h"

namespace vexa {

std::vector<TConfigRow> TWorkspace::ConfigRows() const {
  const TIniFile stored(DataFile(SettingsFileExt), SettingsFileMode);  // throws the system's error text
  TConfigData config;
  TShredding shredding;
  TGenerateParams generate;
  TProxy proxy;
  TOnlineSettings online;
  ReadConfig(stored, config);
  ReadShredding(stored, shredding);
  ReadGenerateParams(stored, generate);
  ReadProxy(stored, proxy);
  ReadOnlineSettings(stored, online);

  // The effective values in the file's own notation: written to an empty file in memory only.
  TIniFile effective(DataDir_ / ".vexa-config-rows-never-written");
  WriteConfig(effective, config);
  WriteGenerateParams(effective, generate);
  WriteShredding(effective, shredding);
  WriteProxy(effective, proxy);
  WriteOnlineSettings(effective, online);

  // A password or the installation secret is never shown.
  auto secret = [](std::string_view key, const std::string& value) {
    const bool hidden = CompareTextNoCase(key, "ProxyPassword") == 0 || CompareTextNoCase(key, "InstallSecret") == 0;
    return hidden && !value.empty() ? std::string("***") : value;
  };
  std::vector<TConfigRow> rows;
  for (const std::string& section : effective.ReadSections()) {
    std::vector<std::string> keys = effective.ReadSection(section);
    for (const std::string& key : stored.ReadSection(section))
      if (!effective.ValueExists(section, key)) keys.push_back(key);
    for (const std::string& key : keys) {
      const std::string value = effective.ValueExists(section, key) ? effective.ReadString(section, key, "")
                                                                    : stored.ReadString(section, key, "");
      rows.push_back({section, key, secret(key, value)});
    }
  }
  for (const std::string& section : stored.ReadSections()) {
    if (effective.SectionExists(section)) continue;
    for (const std::string& key : stored.ReadSection(section))
      rows.push_back({section, key, secret(key, stored.ReadString(section, key, ""))});
  }
  return rows;
}

void TWorkspace::ConfigSet(const std::string& section, const std::string& key, const std::string& value) {
  TOperation op(*this, ChangeSettings);
  try {
    TIniFile ini(DataFile(SettingsFileExt), SettingsFileMode);
    ini.WriteString(section, key, value);
    // A file that holds the installation secret stays readable by its owner only.
    if (!Trim(ini.ReadString(OnlineSection, "InstallSecret", "")).empty())
      ini.UpdateFile(SettingsFileMode);
    else
      ini.UpdateFile();
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ConfigWriteErrorFormat, {std::string(e.what())}));
  }
}

}  // namespace vexa
