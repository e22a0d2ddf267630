#include "render/drawing_threads.h"

#include <QThreadPool>
#include <atomic>
#include <memory>

#include "score/ui_text.h"

namespace kelvara {

namespace {
// The pieces drawn on the pool need little stack; the system's default
// (often 8 MB) counts against a memory limit.
constexpr uint kStackBytes = 1u << 20;
// A thread that starts takes well under this.
constexpr int kStartTimeoutMs = 5000;
}  // namespace

std::string reserveDrawingThread() {
  QThreadPool* pool = QThreadPool::globalInstance();
  if (pool->activeThreadCount() == 0) pool->setStackSize(kStackBytes);
  pool->setExpiryTimeout(-1);
  pool->setMaxThreadCount(1);
  auto ran = std::make_shared<std::atomic<bool>>(false);
  pool->start([ran] { *ran = true; });
  if (!pool->waitForDone(kStartTimeoutMs) || !*ran) {
    return uiText("kelvara::Render", "メモリが足りないため、描画に使うスレッドを作れません。");
  }
  return {};
}

}  // namespace kelvara
