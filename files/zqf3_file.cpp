#include "files/zqf3_file.h"

#include <optional>

#include "files/atomic_write.h"
#include "files/byte_reader.h"
#include "files/byte_writer.h"
#include "files/load_limits.h"
#include "files/loaded_score.h"
#include "files/score_file.h"
#include "files/score_walk.h"
#include "score/part_list.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

// Where a value must lie to survive its field in the file.
struct FieldLimit {
  const char* name;
  int32_t value;
  int32_t lo;
  int32_t hi;
};

constexpr int32_t kI8Lo = -128, kI8Hi = 127, kU8Hi = 255, kI16Lo = -32768, kI16Hi = 32767,
                  kU16Hi = 65535;

// The first field of r that the record cannot hold, if any.
std::optional<FieldLimit> misfitField(const TOnpu& r) {
  static const char* const kPitchNames[kPitchSlots] = {
      "Pitch[0]", "Pitch[1]", "Pitch[2]", "Pitch[3]", "Pitch[4]",
      "Pitch[5]", "Pitch[6]", "Pitch[7]", "Pitch[8]", "Pitch[9]"};
  for (int k = 0; k < kPitchSlots; ++k) {
    if (r.Pitch[k] < kI8Lo || r.Pitch[k] > kI8Hi)
      return FieldLimit{kPitchNames[k], r.Pitch[k], kI8Lo, kI8Hi};
  }
  for (int k = 0; k < kLetters; ++k) {
    if (r.AccDelta[k] < kI8Lo || r.AccDelta[k] > kI8Hi) {
      return FieldLimit{"AccDelta", r.AccDelta[k], kI8Lo, kI8Hi};
    }
  }
  const FieldLimit limits[] = {
      {"LastIndex", r.LastIndex, 0, kPitchSlots - 1},
      {"Width", r.Width, 0, kU16Hi},
      {"Length", r.Length, 0, kU16Hi},
      {"Velocity", r.Velocity, 0, kU8Hi},
      {"LenNum", r.LenNum, kI8Lo, kI8Hi},
      {"LenDen", r.LenDen, 0, kU8Hi},
      {"YoinType", r.YoinType, 0, kU8Hi},
      {"YoinStartNum", r.YoinStartNum, 0, kU8Hi},
      {"YoinStartDen", r.YoinStartDen, 0, kU8Hi},
      {"YoinAmount", r.YoinAmount, kI16Lo, kI16Hi},
      {"YoinPeriod", r.YoinPeriod, 0, kU8Hi},
      {"RenIndex", r.RenIndex, 0, kU8Hi},
      {"RenCount", r.RenCount, 0, kU8Hi},
      {"RenLength", r.RenLength, 0, kU8Hi},
  };
  for (const FieldLimit& f : limits) {
    if (f.value < f.lo || f.value > f.hi) return f;
  }
  return std::nullopt;
}

std::string misfitText(const FieldLimit& f) {
  return fillText(uiText("kelvara::Files", "%1 %2 は %3..%4 に収まりません"),
                  {f.name, std::to_string(f.value), std::to_string(f.lo), std::to_string(f.hi)});
}

void putRecord(uint8_t* b, const TOnpu& r) {
  for (int k = 0; k < kPitchSlots; ++k) b[k] = static_cast<uint8_t>(r.Pitch[k]);
  b[10] = static_cast<uint8_t>(r.LastIndex);
  b[11] = static_cast<uint8_t>(r.Width);
  b[12] = static_cast<uint8_t>(r.Width >> 8);
  b[13] = static_cast<uint8_t>(r.Length);
  b[14] = static_cast<uint8_t>(r.Length >> 8);
  for (int k = 0; k < kLetters; ++k) b[15 + k] = static_cast<uint8_t>(r.AccDelta[k]);
  b[22] = static_cast<uint8_t>(r.Velocity);
  b[23] = static_cast<uint8_t>(r.LenNum);
  b[24] = static_cast<uint8_t>(r.LenDen);
  b[25] = static_cast<uint8_t>(r.YoinType);
  b[26] = static_cast<uint8_t>(r.YoinStartNum);
  b[27] = static_cast<uint8_t>(r.YoinStartDen);
  b[28] = static_cast<uint8_t>(r.YoinAmount);
  b[29] = static_cast<uint8_t>(r.YoinAmount >> 8);
  b[30] = static_cast<uint8_t>(r.YoinPeriod);
  b[31] = static_cast<uint8_t>(r.RenIndex);
  b[32] = static_cast<uint8_t>(r.RenCount);
  b[33] = static_cast<uint8_t>(r.RenLength);
}

FileResult cannotStore(const std::string& path, const std::string& what) {
  return FileResult::failure(
      FileError::Unwritable,
      fillText(uiText("kelvara::Files", "ファイル %1 を作成できません: %2"), {path, what}));
}

// Fills a record from its 34 bytes; fields marked signed are sign-extended.
void getRecord(ByteReader& in, TOnpu& r) {
  for (int k = 0; k < kPitchSlots; ++k) r.Pitch[k] = in.i8();
  r.LastIndex = in.u8();
  r.Width = in.u16le();
  r.Length = in.u16le();
  for (int k = 0; k < kLetters; ++k) r.AccDelta[k] = in.i8();
  r.Velocity = in.u8();
  r.LenNum = in.i8();
  r.LenDen = in.u8();
  r.YoinType = in.u8();
  r.YoinStartNum = in.u8();
  r.YoinStartDen = in.u8();
  r.YoinAmount = in.i16le();
  r.YoinPeriod = in.u8();
  r.RenIndex = in.u8();
  r.RenCount = in.u8();
  r.RenLength = in.u8();
  r.Prev = nullptr;
  r.Next = nullptr;
  r.Closed = 1;
}

LoadedScore parseZqf3(ByteReader& in) {
  LoadedScore loaded;
  const int32_t keySig = in.u8();
  if (keySig > 14) {
    throw ReadFault{FileError::BadValue,
                    fillText(uiText("kelvara::Files", "調号 %1 は 0..14 の範囲外です"),
                             {std::to_string(keySig)})};
  }
  loaded.keySig = keySig;
  loaded.major = in.u8() == 0 ? 1 : 0;
  const int32_t timeNum = in.u8();
  const int32_t timeDen = in.u8();
  checkTimeSignature(timeNum, timeDen);
  loaded.timeNum = timeNum;
  loaded.timeDen = timeDen;
  loaded.tempo = in.u16le();
  const int blocks = in.u8();
  if (blocks > kPartCount) {
    throw ReadFault{FileError::BadValue,
                    fillText(uiText("kelvara::Files", "パート数 %1 が 11 を超えています"),
                             {std::to_string(blocks)})};
  }
  PerPart<bool> seen{};
  RecordBudget budget;
  for (int b = 0; b < blocks; ++b) {
    const size_t blockAt = in.offset();
    LoadedPart lp;
    lp.part = in.u8();
    if (lp.part >= kPartCount) {
      throw ReadFault{
          FileError::BadValue,
          fillText(uiText("kelvara::Files", "バイト %1 のパート番号 %2 は 0..10 の範囲外です"),
                   {std::to_string(blockAt), std::to_string(lp.part)})};
    }
    if (seen[lp.part]) {
      throw ReadFault{FileError::BadValue,
                      fillText(uiText("kelvara::Files", "パート番号 %1 のブロックが二つあります"),
                               {std::to_string(lp.part)})};
    }
    seen[lp.part] = true;
    lp.program = in.u8();
    lp.volume = in.u8();
    lp.pan = in.u8();
    for (;;) {
      const size_t recordAt = in.offset();
      // The end marker's record (first byte -8 or less) closes the block.
      if (static_cast<int8_t>(in.peek()) <= -8) {
        in.skip(kZqf3RecordSize);
        break;
      }
      budget.take();
      RecordPtr rec(makeRecord(kRestPitch, 0, 1));
      getRecord(in, *rec);
      if (rec->Pitch[0] < 0) {
        throw ReadFault{FileError::BadValue,
                        fillText(uiText("kelvara::Files",
                                        "バイト %1 の記録の音高 %2 は音符でも休符でもありません"),
                                 {std::to_string(recordAt), std::to_string(rec->Pitch[0])})};
      }
      if (rec->LastIndex >= kPitchSlots) {
        throw ReadFault{FileError::BadValue,
                        fillText(uiText("kelvara::Files",
                                        "バイト %1 の和音は 10 音を超えています（LastIndex %2）"),
                                 {std::to_string(recordAt), std::to_string(rec->LastIndex)})};
      }
      lp.records.push_back(std::move(rec));
    }
    loaded.parts.push_back(std::move(lp));
  }
  if (!in.atEnd()) {
    throw ReadFault{
        FileError::WrongKind,
        fillText(uiText("kelvara::Files", "最後のパートの後に %1 バイトの余分なデータがあります"),
                 {std::to_string(in.remaining())})};
  }
  fitRecordsToFile(loaded, timeNum, timeDen);
  checkPageWidths(loaded, timeNum, timeDen);
  return loaded;
}

}  // namespace

FileResult encodeZqf3(const EditorState& s, int32_t fromBar, int32_t toBar,
                      const std::string& fileName, std::vector<uint8_t>& out) {
  const FieldLimit header[] = {{"KeySig", s.KeySig, 0, 14},
                               {"TimeNum", s.TimeNum, 0, kU8Hi},
                               {"TimeDen", s.TimeDen, 0, kU8Hi},
                               {"Tempo", s.Tempo, 0, kU16Hi}};
  for (const FieldLimit& f : header) {
    if (f.value < f.lo || f.value > f.hi) return cannotStore(fileName, misfitText(f));
  }
  // Reserve the whole file at once: one allocation instead of a growing
  // buffer that is copied and faulted in again and again.
  size_t size = kZqf3HeaderSize;
  for (int p = 0; p < kPartCount; ++p) {
    if (!partSelected(s, p)) continue;
    size += kZqf3PartHeaderSize + kZqf3RecordSize;
    for (const TOnpu* r = firstRecordOf(s.PartHead[p]); !isEndMarker(*r); r = r->Next) {
      size += kZqf3RecordSize;
    }
  }
  out.clear();
  out.reserve(size);
  ByteWriter w(out);
  w.u8(static_cast<uint32_t>(s.KeySig));
  w.u8(s.Major == 0 ? 1 : 0);
  w.u8(static_cast<uint32_t>(s.TimeNum));
  w.u8(static_cast<uint32_t>(s.TimeDen));
  w.u16le(static_cast<uint32_t>(s.Tempo));
  w.u8(static_cast<uint32_t>(selectedPartCount(s)));

  const double barLen = barReal(s);
  for (int p = 0; p < kPartCount; ++p) {
    if (!partSelected(s, p)) continue;
    const FieldLimit settings[] = {{"PartProgram", s.PartProgram[p], 0, kU8Hi},
                                   {"PartVolume", s.PartVolume[p], 0, kU8Hi},
                                   {"PartPan", s.PartPan[p], 0, kU8Hi}};
    for (const FieldLimit& f : settings) {
      if (f.value < f.lo || f.value > f.hi) {
        return cannotStore(fileName, fillText(uiText("kelvara::Files", "%3%1 の %2"),
                                              {partText(p), misfitText(f), partListSpace(p)}));
      }
    }
    w.u8(static_cast<uint32_t>(p));
    w.u8(static_cast<uint32_t>(s.PartProgram[p]));
    w.u8(static_cast<uint32_t>(s.PartVolume[p]));
    w.u8(static_cast<uint32_t>(s.PartPan[p]));

    double pos = 0;
    int index = 1;
    const TOnpu* r = firstRecordOf(s.PartHead[p]);
    for (; r->Pitch[0] >= kStartMarker; r = r->Next, ++index) {
      const bool selected = inBarRange(pos, fromBar, toBar, barLen);
      pos += writtenLength(*r);
      if (!selected) continue;
      if (auto f = misfitField(*r)) {
        return cannotStore(
            fileName,
            fillText(uiText("kelvara::Files", "%4%1 の %2 番目の記録の %3"),
                     {partText(p), std::to_string(index), misfitText(*f), partListSpace(p)}));
      }
      const size_t at = out.size();
      out.resize(at + kZqf3RecordSize);
      putRecord(out.data() + at, *r);
    }
    // The end marker's record closes the block.
    const size_t at = out.size();
    out.resize(at + kZqf3RecordSize);
    putRecord(out.data() + at, *r);
  }
  return {};
}

FileResult savedataplus2(const EditorState& s, const std::string& fileName, int32_t fromBar,
                         int32_t toBar) {
  return writeEncoded(encodeZqf3, s, fileName, fromBar, toBar);
}

LoadResult decodeZqf3(EditorState& s, std::span<const uint8_t> bytes, const std::string& fileName) {
  LoadedScore loaded;
  try {
    ByteReader in(bytes);
    loaded = parseZqf3(in);
  } catch (const ReadFault& f) {
    return FileResult::failure(f.error, readFaultMessage(fileName, f.detail));
  } catch (const std::bad_alloc&) {
    return FileResult::failure(FileError::CannotOpen, outOfMemoryMessage(fileName));
  }
  LoadResult result;
  handOver(s, loaded, result);
  return result;
}

LoadResult loaddataplus2(EditorState& s, const std::string& fileName) {
  std::string bytes;
  const std::string err = readWholeFile(fileName, bytes);
  if (!err.empty()) return FileResult::failure(FileError::CannotOpen, err);
  return decodeZqf3(s, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                    fileName);
}

}  // namespace kelvara
