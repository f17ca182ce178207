#include <iostream>
#include <string>
#include <vector>

#include "zel5-signal/signal_tool.h"

int main(int argc, char** argv) {
  return zel5::tools::RunSignalTool(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                    std::cerr);
}
