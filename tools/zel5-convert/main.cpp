#include <iostream>
#include <string>
#include <vector>

#include "zel5-convert/convert_tool.h"

int main(int argc, char** argv) {
  return zel5::tools::RunConvertTool(std::vector<std::string>(argv + 1, argv + argc), std::cin,
                                     std::cout, std::cerr);
}
