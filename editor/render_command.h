#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kelvara {

// `kelvara render INPUT OUTPUT.png [--part LABEL] [--bar N]`: writes the
// score picture of the page that holds bar N (default 1) of a part (default
// 1) as the score view shows it, without the cursor, with no display. args
// are the words after "render". Exit status 0 on success, 1 when a file
// could not be read or written, 2 for a wrong command line or a bar on a page
// after the part's last one.
int runRenderCommand(const std::vector<std::string>& args, const std::string& glyphFolder,
                     std::ostream& out, std::ostream& err);

std::string renderUsage();

}  // namespace kelvara
