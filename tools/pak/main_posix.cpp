// Entry on Linux: arguments are UTF-8 already.
#include <string>
#include <vector>

int ToolMain(const std::vector<std::string>& args);

int main(int argc, char** argv) { return ToolMain(std::vector<std::string>(argv, argv + argc)); }
