#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kelvara {

// Messages for the user, collected until the shell takes them. A notice with
// a key is given at most once for the lifetime of the board, so a fault that
// repeats (every note to a lost port) is told once.
class NoticeBoard {
 public:
  void postOnce(const std::string& key, std::string text) {
    if (given_.insert(key).second) pending_.push_back(std::move(text));
  }

  // The pending notices, one per line; empty when there are none.
  std::string take() {
    std::string out;
    for (const std::string& text : pending_) {
      if (!out.empty()) out += '\n';
      out += text;
    }
    pending_.clear();
    return out;
  }

 private:
  std::set<std::string> given_;
  std::vector<std::string> pending_;
};

}  // namespace kelvara
