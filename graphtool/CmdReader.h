// Reading a command line back into a DaVinciCmd: the other direction of
// showCmd, used by the stand-in daVinci that the tests drive (tools/).
//
// It accepts exactly the text showCmd writes, with blanks allowed between
// tokens.  Words that two alternatives share read as the first of them:
// "select_childs" is SelectChilds, never SelectChildren.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "graphtool/DaVinciTypes.h"

namespace jox::dv {

// The command of `line`, or nothing with `error` set to a short reason
// ("... at character N", counted from 1).  Graph terms are read in a loop,
// however deep they nest; only submenus recurse, with checkStack() per level.
std::optional<DaVinciCmd> readCmd(std::string_view line, std::string& error);

}  // namespace jox::dv
