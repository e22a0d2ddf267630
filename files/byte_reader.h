#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/file_result.h"
#include "score/ui_text.h"

namespace kelvara {

// Thrown inside a reader when the bytes break the layout; the reader's entry
// point turns it into its result (a FileResult, a message), so it never
// leaves the reader.
struct ReadFault {
  FileError error;
  std::string detail;  // what is wrong, without the file name
};

// Reads integers from a byte buffer and throws ReadFault{Truncated} instead
// of reading past its end.
class ByteReader {
 public:
  // base: where data begins in the whole file, so offsets in messages are
  // file offsets.
  explicit ByteReader(std::span<const uint8_t> data, size_t base = 0) : data_(data), base_(base) {}

  size_t offset() const { return base_ + pos_; }
  size_t remaining() const { return data_.size() - pos_; }
  bool atEnd() const { return pos_ == data_.size(); }

  uint8_t u8() {
    need(1);
    return data_[pos_++];
  }
  int8_t i8() { return static_cast<int8_t>(u8()); }
  uint8_t peek() const {
    need(1);
    return data_[pos_];
  }
  uint16_t u16le() {
    need(2);
    const auto v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  int16_t i16le() { return static_cast<int16_t>(u16le()); }
  uint16_t u16be() {
    need(2);
    const auto v = static_cast<uint16_t>((data_[pos_] << 8) | data_[pos_ + 1]);
    pos_ += 2;
    return v;
  }
  uint32_t u24be() {
    need(3);
    const uint32_t v =
        (uint32_t{data_[pos_]} << 16) | (uint32_t{data_[pos_ + 1]} << 8) | data_[pos_ + 2];
    pos_ += 3;
    return v;
  }
  uint32_t u32be() {
    need(4);
    const uint32_t v = (uint32_t{data_[pos_]} << 24) | (uint32_t{data_[pos_ + 1]} << 16) |
                       (uint32_t{data_[pos_ + 2]} << 8) | data_[pos_ + 3];
    pos_ += 4;
    return v;
  }
  // A MIDI variable-length quantity of at most four bytes.
  uint32_t vlq() {
    const size_t at = offset();
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      const uint8_t b = u8();
      v = (v << 7) | (b & 0x7F);
      if ((b & 0x80) == 0) return v;
    }
    throw ReadFault{
        FileError::WrongKind,
        fillText(uiText("kelvara::Files", "バイト %1 の時間値が 4 バイトを超えています"),
                 {std::to_string(at)})};
  }
  // Reads bytes that must be exactly `expected`; `what` names them in the message, in
  // the interface's language.
  void expect(std::string_view expected, std::string_view what) {
    const size_t at = offset();
    for (char c : expected) {
      if (u8() != static_cast<uint8_t>(c)) {
        throw ReadFault{FileError::WrongKind,
                        fillText(uiText("kelvara::Files", "バイト %1 に%2がありません"),
                                 {std::to_string(at), what})};
      }
    }
  }
  void skip(size_t n) {
    need(n);
    pos_ += n;
  }
  // The next n bytes, as a part of the buffer.
  std::span<const uint8_t> take(size_t n) {
    need(n);
    const auto out = data_.subspan(pos_, n);
    pos_ += n;
    return out;
  }

 private:
  void need(size_t n) const {
    if (remaining() < n) {
      throw ReadFault{
          FileError::Truncated,
          fillText(uiText("kelvara::Files",
                          "ストリームからの読み込みエラー（ファイルは %1 バイトで終わっています）"),
                   {std::to_string(base_ + data_.size())})};
    }
  }

  std::span<const uint8_t> data_;
  size_t base_ = 0;
  size_t pos_ = 0;
};

}  // namespace kelvara
