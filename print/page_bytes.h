#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace kelvara {

// `size` bytes rounded up to whole huge pages (the rounded size is put
// back), in memory of their own advised to be given in huge pages where the
// system has them; free it with std::free. Null when it cannot be had.
// A fresh 300-dpi page (8.7 MB) is then touched in a few faults instead of
// two thousand, which a virtual machine makes dear.
void* largeMemory(size_t& size);

// The bytes of one picture file, in large memory that the next page's file
// uses again. Growing may fail: the calls say so instead of aborting.
class PageBytes {
 public:
  // Makes the content `size` bytes long, keeping what fits; false when the
  // memory cannot be had (the content is then unchanged).
  bool resize(size_t size);
  // Adds `count` bytes at the end; false when the memory cannot be had.
  bool append(const void* data, size_t count);
  // Empties the content and keeps the memory.
  void clear() { size_ = 0; }
  // Gives the memory back.
  void release();

  uint8_t* data() { return memory_.get(); }
  size_t size() const { return size_; }
  std::span<const uint8_t> bytes() const { return {memory_.get(), size_}; }

 private:
  struct Free {
    void operator()(uint8_t* p) const;
  };
  std::unique_ptr<uint8_t, Free> memory_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace kelvara
