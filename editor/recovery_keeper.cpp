#include "editor/recovery_keeper.h"

#include <cstdio>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include "files/zqf3_file.h"
#include "score/ui_text.h"

namespace kelvara {

RecoveryKeeper::~RecoveryKeeper() {
  wait();
}

void RecoveryKeeper::wait() {
  if (pending_.valid()) collect();
}

void RecoveryKeeper::collect() {
  noteOutcome(pending_.get());
}

void RecoveryKeeper::noteOutcome(std::string error) {
  if (!error.empty() && error != lastError_) {
    std::fprintf(stderr, "kelvara: recovery copy not written: %s\n", error.c_str());
  }
  if (!error.empty() && !failing_) {
    notice_ =
        fillText(uiText("kelvara::Editor",
                        "復元用のコピーを保存できません（%"
                        "1）。このままでは、異常終了したときに保存していない変更が失われます。"),
                 {error});
  } else if (error.empty() && failing_) {
    notice_ = uiText("kelvara::Editor", "復元用のコピーをまた保存できるようになりました。");
  }
  failing_ = !error.empty();
  lastError_ = std::move(error);
}

std::string RecoveryKeeper::takeNotice() {
  return std::exchange(notice_, {});
}

void RecoveryKeeper::tick(int64_t nowMs) {
  if (!store_.claimed() || s_.Busy) return;
  if (s_.ChangeCount != seenChanges_) {
    seenChanges_ = s_.ChangeCount;
    lastChangeMs_ = nowMs;
  }
  if (pending_.valid()) {
    if (pending_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    collect();
  }
  if (!s_.Modified) {
    // Saved: the file holds the work now.
    if (copyExists_ || store_.holdsAdopted()) store_.removeCopy();
    copyExists_ = false;
    writtenChanges_ = seenChanges_;
    return;
  }
  if (copyExists_ && writtenChanges_ == seenChanges_) return;
  if (nowMs - lastChangeMs_ < kQuietMs) return;
  writeCopy();
}

void RecoveryKeeper::writeCopy() {
  // Every part goes into the copy, whatever the save dialog last ticked.
  std::vector<uint8_t> bytes;
  FileResult encoded;
  const PerPart<uint8_t> selected = s_.PartSelected;
  s_.PartSelected.fill(1);
  try {
    encoded = encodeZqf3(s_, 0, -1, store_.copyPath(), bytes);
  } catch (const std::bad_alloc&) {
    encoded = FileResult::failure(FileError::CannotCreate,
                                  uiText("kelvara::Editor", "メモリが足りません"));
  }
  s_.PartSelected = selected;
  writtenChanges_ = seenChanges_;
  if (!encoded.ok()) {
    noteOutcome(encoded.message);
    return;
  }
  copyExists_ = true;
  ++writes_;
  try {
    pending_ = std::async(std::launch::async, [&store = store_, bytes, name = s_.FileName] {
      return store.write(bytes, name);
    });
  } catch (const std::system_error&) {
    // No thread to be had (low memory): the copy is written here and now.
    noteOutcome(store_.write(bytes, s_.FileName));
  } catch (const std::bad_alloc&) {
    noteOutcome(uiText("kelvara::Editor", "メモリが足りません"));
  }
}

void RecoveryKeeper::keep() {
  wait();
  if (!store_.claimed()) return;
  if (!s_.Modified) {
    finish();
    return;
  }
  seenChanges_ = s_.ChangeCount;
  if (!copyExists_ || writtenChanges_ != seenChanges_) {
    writeCopy();
    wait();
  }
  store_.releaseLock();
}

void RecoveryKeeper::finish() {
  wait();
  store_.release();
  copyExists_ = false;
}

}  // namespace kelvara
