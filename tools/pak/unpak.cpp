// unpak <name>.dat: unpacks the archive into the new folder <name>.
#include "pak_tool.h"

int ToolMain(const std::vector<std::string>& args) { return rw::pak::UnpakMain(args); }
