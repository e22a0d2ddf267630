// Program entry: command-line modes run without a display; otherwise the
// editor window opens.
#include <iostream>
#include <string>
#include <vector>

#include "files/convert_command.h"

namespace {

void printUsage(std::ostream& out) {
  out << "Usage: kelvara [--settings FILE]\n"
         "       kelvara convert INPUT OUTPUT [OPTIONS]\n"
         "       kelvara --help\n\n"
      << kelvara::convertUsage();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    printUsage(std::cout);
    return 0;
  }
  // Command-line modes (dispatched on args[0]) go here.
  if (!args.empty() && args[0] == "convert") {
    return kelvara::runConvertCommand({args.begin() + 1, args.end()}, std::cout, std::cerr);
  }
  printUsage(std::cerr);
  return 2;
}
