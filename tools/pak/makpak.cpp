// makpak <folder>: packs the folder into <folder>.dat.
#include "pak_tool.h"

int ToolMain(const std::vector<std::string>& args) { return rw::pak::MakpakMain(args); }
