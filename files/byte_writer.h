#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace kelvara {

// The largest delta time a Standard MIDI File can carry: four 7-bit groups.
constexpr uint32_t kMaxVlq = 0x0FFFFFFF;

// Bytes a variable-length quantity takes: 1 below 128, 2 below 16 384,
// 3 below 2 097 152, else 4 (values above kMaxVlq cannot be written).
constexpr int vlqLength(uint32_t v) {
  return v < 0x80 ? 1 : v < 0x4000 ? 2 : v < 0x200000 ? 3 : 4;
}

// Appends integers to a byte buffer: little-endian for the whole-score file,
// big-endian and variable-length quantities inside MIDI chunks. Values are
// cut to the field's width; callers check ranges first.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

  size_t size() const { return out_.size(); }

  void u8(uint32_t v) { out_.push_back(static_cast<uint8_t>(v)); }
  void u16le(uint32_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    append(b, 2);
  }
  void u16be(uint32_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    append(b, 2);
  }
  void u24be(uint32_t v) {
    const uint8_t b[3] = {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v)};
    append(b, 3);
  }
  void u32be(uint32_t v) {
    const uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    append(b, 4);
  }
  // A delta time, most significant group first, bit 7 set on all but the
  // last byte. v must not exceed kMaxVlq.
  void vlq(uint32_t v) {
    uint8_t b[4];
    const int n = vlqLength(v);
    for (int i = n - 1; i >= 0; --i) {
      b[i] = static_cast<uint8_t>((v & 0x7F) | (i == n - 1 ? 0 : 0x80));
      v >>= 7;
    }
    append(b, static_cast<size_t>(n));
  }
  void text(std::string_view s) { append(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }
  void append(const uint8_t* data, size_t n) { out_.insert(out_.end(), data, data + n); }

  // Overwrites four bytes written earlier (a chunk length known only later).
  void patchU32be(size_t at, uint32_t v) {
    out_[at] = static_cast<uint8_t>(v >> 24);
    out_[at + 1] = static_cast<uint8_t>(v >> 16);
    out_[at + 2] = static_cast<uint8_t>(v >> 8);
    out_[at + 3] = static_cast<uint8_t>(v);
  }

 private:
  std::vector<uint8_t>& out_;
};

}  // namespace kelvara
