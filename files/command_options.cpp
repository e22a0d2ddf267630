#include "files/command_options.h"

#include <algorithm>

#include "score/whole_number.h"

namespace kelvara {

const std::string* CommandOptions::value(std::string_view name) const {
  const auto it = values.find(name);
  return it == values.end() ? nullptr : &it->second;
}

bool CommandOptions::has(std::string_view name) const {
  return std::find(switches.begin(), switches.end(), name) != switches.end();
}

UsageProblem readCommandOptions(const std::vector<std::string>& args,
                                std::initializer_list<std::string_view> known, CommandOptions& out,
                                std::initializer_list<std::string_view> switches) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a[0] != '-') {
      out.positional.push_back(a);
      continue;
    }
    const size_t eq = a.find('=');
    const std::string name = a.substr(0, eq);
    if (std::find(switches.begin(), switches.end(), name) != switches.end()) {
      if (eq != std::string::npos) return name + " takes no value";
      out.switches.push_back(name);
      continue;
    }
    if (std::find(known.begin(), known.end(), name) == known.end()) {
      return "unknown option '" + a + "'";
    }
    if (eq != std::string::npos) {
      out.values[name] = a.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      out.values[name] = args[++i];
    } else {
      return name + " needs a value";
    }
  }
  return std::nullopt;
}

UsageProblem parsePartLabel(const std::string& label, int& part) {
  const std::optional<int> p = partFromUserLabel(label);
  if (!p) return "unknown part '" + label + "' (use 1 to 10 or perc)";
  part = *p;
  return std::nullopt;
}

UsageProblem parsePartList(const std::string& list, PartChoice& choice) {
  choice = PartChoice{};
  size_t from = 0;
  for (;;) {
    const size_t comma = list.find(',', from);
    int part = 0;
    if (UsageProblem problem = parsePartLabel(list.substr(from, comma - from), part))
      return problem;
    if (choice.count == 0) choice.first = part;
    if (!choice.parts[part]) ++choice.count;
    choice.parts[part] = 1;
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return std::nullopt;
}

UsageProblem parseBarRange(const std::string& range, int32_t& from, int32_t& to) {
  const size_t dash = range.find('-');
  const auto first =
      dash == std::string::npos ? std::nullopt : parseWholeNumber(range.substr(0, dash), 1);
  const auto last =
      dash == std::string::npos ? std::nullopt : parseWholeNumber(range.substr(dash + 1), 1);
  if (!first || !last || *last < *first) {
    return "--bars needs FROM-TO with 1 <= FROM <= TO, not '" + range + "'";
  }
  from = *first;
  to = *last;
  return std::nullopt;
}

int badUsage(std::ostream& err, std::string_view mode, const std::string& problem) {
  err << "kelvara " << mode << ": " << problem << " (see kelvara --help)\n";
  return kCommandBadUsage;
}

int commandFailed(std::ostream& err, std::string_view mode, const std::string& problem) {
  err << "kelvara " << mode << ": " << problem << "\n";
  return kCommandFileFailed;
}

}  // namespace kelvara
