#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"

int main(int argc, char* argv[]) {
  return RunDirlift(std::vector<std::string>(argv, argv + argc), std::cin, std::cout, std::cerr);
}
