#include "print/page_bytes.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace kelvara {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
}  // namespace

void* largeMemory(size_t& size) {
  if (size > std::numeric_limits<size_t>::max() - kHugePage) return nullptr;
  size = (size + kHugePage - 1) / kHugePage * kHugePage;
  void* memory = std::aligned_alloc(kHugePage, size);
  // Only advice: without it the memory just costs more to touch.
  if (memory != nullptr) ::madvise(memory, size, MADV_HUGEPAGE);
  return memory;
}

void PageBytes::Free::operator()(uint8_t* p) const {
  std::free(p);
}

bool PageBytes::resize(size_t size) {
  if (size > capacity_) {
    // Room to grow by appending without moving at every call.
    size_t capacity = std::max(size, capacity_ + capacity_ / 2);
    auto* memory = static_cast<uint8_t*>(largeMemory(capacity));
    if (memory == nullptr) return false;
    if (size_ > 0) std::memcpy(memory, memory_.get(), size_);
    memory_.reset(memory);
    capacity_ = capacity;
  }
  size_ = size;
  return true;
}

bool PageBytes::append(const void* data, size_t count) {
  const size_t at = size_;
  if (count > std::numeric_limits<size_t>::max() - at || !resize(at + count)) return false;
  if (count > 0) std::memcpy(memory_.get() + at, data, count);
  return true;
}

void PageBytes::release() {
  memory_.reset();
  size_ = 0;
  capacity_ = 0;
}

}  // namespace kelvara
