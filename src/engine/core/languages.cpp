#include "core/languages.h"

#include <algorithm>
#include <system_error>

namespace vexa {

const std::vector<TLanguage>& KnownLanguages() {
  static const std::vector<TLanguage> languages = [] {
    std::vector<TLanguage> all = {
        {1025, "ARA", "ar-SA"}, {1026, "BGR", "bg-BG"}, {1027, "CAT", "ca-ES"},      {1028, "CHT", "zh-TW"},
        {1029, "CSY", "cs-CZ"}, {1030, "DAN", "da-DK"}, {1031, "DEU", "de-DE"},      {1032, "ELL", "el-GR"},
        {1033, "ENU", "en-US"}, {1035, "FIN", "fi-FI"}, {1036, "FRA", "fr-FR"},      {1037, "HEB", "he-IL"},
        {1038, "HUN", "hu-HU"}, {1039, "ISL", "is-IS"}, {1040, "ITA", "it-IT"},      {1041, "JPN", "ja-JP"},
        {1042, "KOR", "ko-KR"}, {1043, "NLD", "nl-NL"}, {1044, "NOR", "nb-NO"},      {1045, "PLK", "pl-PL"},
        {1046, "PTB", "pt-BR"}, {1048, "ROM", "ro-RO"}, {1049, "RUS", "ru-RU"},      {1050, "HRV", "hr-HR"},
        {1051, "SKY", "sk-SK"}, {1052, "SQI", "sq-AL"}, {1053, "SVE", "sv-SE"},      {1054, "THA", "th-TH"},
        {1055, "TRK", "tr-TR"}, {1057, "IND", "id-ID"}, {1058, "UKR", "uk-UA"},      {1059, "BEL", "be-BY"},
        {1060, "SLV", "sl-SI"}, {1061, "ETI", "et-EE"}, {1062, "LVI", "lv-LV"},      {1063, "LTH", "lt-LT"},
        {1064, "TAJ", "tg-TJ"}, {1066, "VIT", "vi-VN"}, {1067, "HYE", "hy-AM"},      {1068, "AZE", "az-AZ"},
        {1071, "MKI", "mk-MK"}, {1079, "KAT", "ka-GE"}, {1081, "HIN", "hi-IN"},      {1086, "MSL", "ms-MY"},
        {1087, "KKZ", "kk-KZ"}, {1088, "KYR", "ky-KG"}, {1090, "TUK", "tk-TM"},      {1091, "UZB", "uz-UZ"},
        {1092, "TTT", "tt-RU"}, {2052, "CHS", "zh-CN"}, {2057, "ENG", "en-GB"},      {2070, "PTG", "pt-PT"},
        {2074, "SRL", "sr-Latn-RS"}, {3082, "ESN", "es-ES"}, {3098, "SRB", "sr-Cyrl-RS"},
    };
    std::sort(all.begin(), all.end(), [](const TLanguage& a, const TLanguage& b) { return a.Lcid < b.Lcid; });
    return all;
  }();
  return languages;
}

const TLanguage* LanguageOf(int32_t lcid) {
  const auto& all = KnownLanguages();
  const auto it =
      std::lower_bound(all.begin(), all.end(), lcid, [](const TLanguage& l, int32_t id) { return l.Lcid < id; });
  return it != all.end() && it->Lcid == lcid ? &*it : nullptr;
}

std::filesystem::path LanguageModule(const std::filesystem::path& program, int32_t lcid) {
  const TLanguage* language = LanguageOf(lcid);
  if (language == nullptr) return {};
  std::filesystem::path stem = program;
  stem.replace_extension();
  return stem.string() + "_" + language->Abbr + ".lng";
}

std::vector<int32_t> AvailableLanguages(const std::filesystem::path& program) {
  std::vector<int32_t> out;
  for (const TLanguage& l : KnownLanguages()) {
    std::error_code ec;
    if (l.Lcid == BuiltInLanguage || std::filesystem::is_regular_file(LanguageModule(program, l.Lcid), ec))
      out.push_back(l.Lcid);
  }
  return out;
}

}  // namespace vexa
