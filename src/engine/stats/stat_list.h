// The registry of statistic methods and the settings they share.
//
// RegisterAll walks one fixed table of method classes; a class with a
// parameter is registered once per value of its range. The registration
// order is the order of every method list and of the favourites file.
//
// Favourites file (".flt", settings form): [FILTERS] Favorites=<codes
// joined by ",">, Ordered, ShowGroupName, ShowMethodFlags; [STRINGS_<LNG>]
// <code>=<custom name>. The same two sections in a file of the user's are
// the export form of the favourites.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "core/user_interface.h"
#include "stats/stat.h"

namespace vexa {

// One entry of the fixed class table; Class is null for a class this build
// does not have yet (it registers nothing).
struct TStatTableEntry {
  const char* ClassName;
  const char* Code;
  const TStatClass* Class;
};

// The 143 classes in registration order.
const std::vector<TStatTableEntry>& StatClassTable();

struct TStatMethod {
  const TStatClass* StatClass = nullptr;
  int Param = 0;
  bool Favourite = true;
  std::string CustomName;
  std::string Formula;  // shredding methods: the formula text

  std::string DefaultName() const { return CaptionFor(*StatClass, Param); }
  std::string DisplayName() const { return CustomName.empty() ? DefaultName() : CustomName; }
  // The display name, formatted once more with the formula for the shredding methods.
  std::string FullName() const;
  std::string Code() const { return CodeFor(*StatClass, Param); }
  std::unique_ptr<TCustomStat> CreateStat(const TStatList& list) const { return StatClass->Create(list, Param); }
};

inline constexpr const char* FavouritesSection = "FILTERS";
inline constexpr const char* FavouritesLoadErrorFormat = "Ошибка загрузки списка фильтров!\r\r%s";
inline constexpr const char* FavouritesSaveErrorFormat = "Ошибка сохранения списка фильтров!\r\r%s";

class TStatList {
 public:
  explicit TStatList(const TDrawsArray& draws) : Draws_(&draws) {}
  TStatList(const TStatList&) = delete;
  TStatList& operator=(const TStatList&) = delete;

  // The archive the methods read; must not be reallocated during a computation.
  const TDrawsArray& Draws() const { return *Draws_; }
  void SetDraws(const TDrawsArray& draws) { Draws_ = &draws; }

  int Count() const { return static_cast<int>(Methods_.size()); }
  const TStatMethod& Items(int i) const { return Methods_.at(static_cast<size_t>(i)); }
  TStatMethod& Items(int i) { return Methods_.at(static_cast<size_t>(i)); }
  // Index of the method with this code (any case), or -1.
  int IndexOfCode(std::string_view code) const;

  void RegisterAll();
  std::unique_ptr<TCustomStat> CreateStat(int i) const { return Items(i).CreateStat(*this); }

  bool IsAvailable(int i) const { return Items(i).StatClass->Available; }
  bool HasGraph(int i) const { return Items(i).StatClass->HasGraph; }
  bool IsFullSetComputable(int i) const { return vexa::IsFullSetComputable(*Items(i).StatClass); }
  bool IsFavourite(int i) const { return AllFavourite || Items(i).Favourite; }
  std::string ListCaption(int i, bool withFlags) const;
  std::string HelpUrl(int i) const { return HelpUrlFor(*Items(i).StatClass, Items(i).Param, HelpFile); }

  void MarkAllFavourite();
  void NormaliseFavourites();
  std::string FavouritesText() const;
  void SetFavouritesText(std::string_view text);
  // Report failures through ui with the favourites messages and return false.
  bool LoadFavourites(const std::filesystem::path& file, bool withOptions, TUserInterface& ui);
  bool SaveFavourites(const std::filesystem::path& file, bool withOptions, bool allNames, TUserInterface& ui);
  // "STRINGS_" + the interface language's abbreviation.
  std::string StringsSection() const { return "STRINGS_" + LanguageAbbr; }

  // A script run keeps the weight coefficients aside while its lines may override them.
  void SaveCdl() { SavedCdl = Config.Cdl; }
  void RestoreCdl() { Config.Cdl = SavedCdl; }
  void UseCdl(bool overrideCdl, const TCdl& itemCdl) { Config.Cdl = overrideCdl ? itemCdl : SavedCdl; }

  bool Ordered = false;
  bool ShowGroupName = true;
  bool ShowMethodFlags = true;
  bool AllFavourite = true;
  TConfigData Config;
  TCdl SavedCdl;
  TGenerateParams Generate;
  TShredding Shredding;
  std::string HelpFile;             // empty: no help
  std::string LanguageAbbr = "RUS";

 private:
  const TDrawsArray* Draws_;
  std::vector<TStatMethod> Methods_;
};

}  // namespace vexa
