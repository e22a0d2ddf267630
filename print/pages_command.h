#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kelvara {

// `kelvara pages INPUT OUTPUT [--parts LIST] [--bars FROM-TO] [--bars-per-line N]
// [--lines-per-page M]`: puts parts of a score on pages without a display.
// OUTPUT ending in .jpg, .jpeg or .bmp writes the picture files the output
// dialog writes for that name; .pdf writes one PDF of all pages. args are the
// words after "pages". Exit status 0 on success, 1 when a file could not be
// read or written, 2 for a wrong command line.
int runPagesCommand(const std::vector<std::string>& args, const std::string& glyphFolder,
                    std::ostream& out, std::ostream& err);

std::string pagesUsage();

}  // namespace kelvara
