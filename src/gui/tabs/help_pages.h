// The method help pages: one HTML page per help topic, in Russian, made
// from the registry's descriptors with example values computed by the
// engine over the demo archive (HelpExampleDraws draws, seed
// HelpExampleSeed, default settings), and one explanation per family.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa {
class TStatList;
}

namespace vexa::gui {

inline constexpr int HelpExampleDraws = 60;
inline constexpr int HelpExampleSeed = 7;

// The value texts the method gives for the newest draw of the registry's
// archive (a window of one draw), in the method's order.
std::vector<std::string> HelpExampleValues(const TStatList& list, int methodIndex);

// The page of one help topic (methods sharing a topic are listed together).
std::string HelpPageHtml(const TStatList& list, const std::string& topic);

// Writes every topic's page "Filters_1049_<topic>.htm" into the folder;
// returns the number of pages.
int WriteHelpPages(const TStatList& list, const std::filesystem::path& folder);

}  // namespace vexa::gui
