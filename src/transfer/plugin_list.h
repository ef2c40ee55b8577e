#pragma once
#include <string>
#include <string_view>

namespace caldrift {

// PLUGINS.TXT (ARK-4), GAME.TXT, VSH.TXT or POPS.TXT (PRO, LME), in any letter case.
bool isPluginList(std::string_view name);

// The stick's list with the dropped list's lines it lacks appended in the
// stick's line ending; lines compare without letter case, surrounding blanks
// and a byte-order mark, which stays at the stick's list's start only.
std::string mergedPluginList(const std::string& onStick, const std::string& dropped);

}  // namespace caldrift
