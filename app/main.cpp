// Program entry: command-line modes run without a display; otherwise the
// editor window opens.
#include <iostream>
#include <string>
#include <vector>

namespace {

void printUsage(std::ostream& out) {
  out << "Usage: kelvara [--settings FILE]\n"
         "       kelvara --help\n";
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    printUsage(std::cout);
    return 0;
  }
  // Command-line modes (dispatched on args[0]) go here.
  printUsage(std::cerr);
  return 2;
}
