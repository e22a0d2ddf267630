#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "score/editor_state.h"

namespace kelvara {

// Exit statuses of the command-line modes (convert, render, pages).
constexpr int kCommandOk = 0;
constexpr int kCommandFileFailed = 1;  // a file could not be read or written
constexpr int kCommandBadUsage = 2;    // the command line is wrong

// What is wrong with a command line, in one line; empty when nothing is.
using UsageProblem = std::optional<std::string>;

// A mode's command line, read: the words that are not options, the value of
// each option given ("--bars 2-5" or "--bars=2-5"; the last one counts) and
// the switches given ("--standard-notation", no value).
struct CommandOptions {
  std::vector<std::string> positional;
  std::map<std::string, std::string, std::less<>> values;
  std::vector<std::string> switches;

  // The value given for `name`, or null.
  const std::string* value(std::string_view name) const;
  // Whether the switch `name` was given.
  bool has(std::string_view name) const;
};

// Reads the words after the mode's name. Every option in `known` takes a
// value, every one in `switches` none; a word starting with "-" that names
// none of them, an option without its value or a switch given one is the
// problem returned.
UsageProblem readCommandOptions(const std::vector<std::string>& args,
                                std::initializer_list<std::string_view> known, CommandOptions& out,
                                std::initializer_list<std::string_view> switches = {});

// The parts named by labels as users type them: 1 to 10 and perc.
struct PartChoice {
  PerPart<uint8_t> parts{};
  int count = 0;  // parts chosen
  int first = 0;  // the part named first
};
// One part label (--part, --into-part).
UsageProblem parsePartLabel(const std::string& label, int& part);
// A comma-separated list of part labels (--parts).
UsageProblem parsePartList(const std::string& list, PartChoice& choice);
// A range of bars FROM-TO with 1 <= FROM <= TO (--bars).
UsageProblem parseBarRange(const std::string& range, int32_t& from, int32_t& to);

// Reports a wrong command line as the mode's one line on `err`; returns
// kCommandBadUsage.
int badUsage(std::ostream& err, std::string_view mode, const std::string& problem);
// Reports a file that could not be read or written, or another failure of
// the work itself, as the mode's one line on `err`; returns kCommandFileFailed.
int commandFailed(std::ostream& err, std::string_view mode, const std::string& problem);

}  // namespace kelvara
