// The settings file: INI parsing, every section the program reads, and the
// text written back.
#include "core/ini_file.h"
#include "core/settings.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  const auto file = fuzz::WriteScratch("Korvane_6x45.ini", fuzz::Bytes(data, size));
  TIniFile ini(file);
  TConfigData config;
  TShredding shredding;
  TGenerateParams generate;
  TProxy proxy;
  TMainWindowSettings window;
  ReadConfig(ini, config);
  ReadShredding(ini, shredding);
  ReadGenerateParams(ini, generate);
  ReadProxy(ini, proxy);
  ReadMainWindowSettings(ini, window);
  for (const std::string& section : ini.ReadSections())
    for (const std::string& key : ini.ReadSection(section)) ini.ReadString(section, key, "");
  TIniFile copy(fuzz::ScratchDir() / "never-written.ini");
  WriteConfig(copy, config);
  WriteShredding(copy, shredding);
  (void)copy.Text();
  (void)ini.Text();
  return 0;
}
