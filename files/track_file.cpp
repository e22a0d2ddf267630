#include "files/track_file.h"

#include <algorithm>

#include "files/atomic_write.h"
#include "files/byte_reader.h"
#include "files/load_limits.h"
#include "files/loaded_score.h"
#include "files/midi_common.h"
#include "files/score_file.h"
#include "files/score_walk.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

// A pending delta too long for a MIDI file (over 0x0FFFFFFF ticks).
struct DeltaTooLong {};

void putDelta(ByteWriter& w, int64_t delta) {
  if (delta > kMaxVlq) throw DeltaTooLong{};
  w.vlq(static_cast<uint32_t>(delta));
}

void putEvent(ByteWriter& w, int64_t delta, int status, int32_t key, int32_t velocity) {
  putDelta(w, delta);
  const uint8_t b[3] = {static_cast<uint8_t>(status), dataByte(key), dataByte(velocity)};
  w.append(b, 3);
}

// The note events of one part: every record lasts exactly Length x 60 ticks
// (tuplet spans and length adjustments are not written).
void writeNoteEvents(ByteWriter& w, const EditorState& s, int p, int32_t fromBar, int32_t toBar) {
  const double barLen = barReal(s);
  const int32_t volume = s.PartVolume[p];
  // Other programs read a note-on of velocity 0 as a note-off: a silent part
  // still starts its notes. The note-offs carry the volume the readers take.
  const int32_t onVelocity = std::max<int32_t>(volume, 1);
  int64_t pending = 0;  // ticks waiting before the next event
  double pos = 0;       // 64ths from the part's start, for the bar range
  bool lastSelected = false;
  const TOnpu* r = s.PartHead[p];
  for (; !isEndMarker(*r); r = r->Next) {
    lastSelected = inBarRange(pos, fromBar, toBar, barLen);
    pos += writtenLength(*r);
    if (!lastSelected) continue;
    const int last = lastSlot(*r);
    if (isNote(*r)) {
      for (int k = 0; k <= last; ++k) {
        putEvent(w, pending, 0x90 + p, r->Pitch[k], onVelocity);
        pending = 0;
      }
    }
    // A negative length (a damaged record) never moves time backwards.
    pending += static_cast<int64_t>(std::max<int32_t>(r->Length, 0)) * kTicksPer64th;
    if (isNote(*r)) {
      for (int k = 0; k <= last; ++k) {
        putEvent(w, pending, 0x80 + p, r->Pitch[k], volume);
        pending = 0;
      }
    }
  }
  // Rests at the end: a note-off for key 0 carries their time.
  if (lastSelected && isRest(*r->Prev)) putEvent(w, pending, 0x80 + p, 0, volume);
}

// ---- reading ----

uint8_t dataByteAt(ByteReader& in) {
  const size_t at = in.offset();
  const uint8_t b = in.u8();
  if (b > 0x7F) {
    throw ReadFault{
        FileError::WrongKind,
        fillText(uiText("kelvara::Files", "バイト %1 のデータバイトが 127 を超えています"),
                 {std::to_string(at)})};
  }
  return b;
}

ReadFault unexpected(size_t at, const std::string& what) {
  return ReadFault{
      FileError::WrongKind,
      fillText(
          uiText("kelvara::Files",
                 "バイト %1 に%2があります（このプログラムのトラックファイルの形ではありません）"),
          {std::to_string(at), what})};
}

// One track as the writer lays it out.
struct ReadTrack {
  int channel = 0;
  int32_t program = 0;
  int32_t keySig = 7;
  uint8_t major = 1;
  int32_t timeNum = 4;
  std::optional<int32_t> timeDen;
  int32_t tempo = 120;
  std::optional<int32_t> volume;
  std::vector<RecordPtr> records;
  bool rounded = false;  // a time was not a whole number of 64ths
};

// A time in 64ths, rounded to the nearest one (ticks from other programs
// need not be whole 64ths); notes `rounded` when it was not exact.
int64_t roundTo64ths(uint32_t ticks, bool& rounded) {
  if (ticks % kTicksPer64th != 0) rounded = true;
  return (static_cast<int64_t>(ticks) + kTicksPer64th / 2) / kTicksPer64th;
}

// `left` 64ths of rest after what was read. A rest read just before takes
// them first, as the writer joins neighbouring rests into one wait (a
// note-on for key 0 reads as a rest); what one record cannot hold goes into
// further ones.
void appendRest(ReadTrack& t, int64_t left, RecordBudget& budget) {
  if (!t.records.empty() && isRest(*t.records.back()) && t.records.back()->LastIndex == 0) {
    TOnpu& last = *t.records.back();
    const int64_t joined = std::min<int64_t>(left, kMaxRecordLength - last.Length);
    last.Length += static_cast<int32_t>(joined);
    left -= joined;
  }
  while (left > 0) {
    const auto length = static_cast<int32_t>(std::min<int64_t>(left, kMaxRecordLength));
    budget.take();
    t.records.emplace_back(makeRecord(kRestPitch, length, 1));
    left -= length;
  }
}

// A wait before a note (or at the end of the track) as rest.
void addRest(ReadTrack& t, uint32_t delta, RecordBudget& budget) {
  appendRest(t, roundTo64ths(delta, t.rounded), budget);
}

ReadTrack parseTrack(ByteReader& in, RecordBudget& budget) {
  ReadTrack t;
  size_t at = in.offset();
  if (in.vlq() != 0 || (in.peek() & 0xF0) != 0xC0)
    throw unexpected(at, uiText("kelvara::Files", "プログラムチェンジ以外のイベント"));
  t.channel = in.u8() & 0x0F;
  if (t.channel >= kPartCount) {
    throw ReadFault{
        FileError::BadValue,
        fillText(uiText("kelvara::Files", "チャンネル %1 はパートに対応しません（11 まで）"),
                 {std::to_string(t.channel + 1)})};
  }
  t.program = dataByteAt(in);

  in.expect(std::string_view("\x00\xFF\x59\x02", 4), uiText("kelvara::Files", "調号イベント"));
  const int sf = in.i8();
  const uint8_t mi = in.u8();
  if (sf < -7 || sf > 7 || mi > 1) {
    throw ReadFault{FileError::BadValue,
                    fillText(uiText("kelvara::Files", "調号 %1/%2 は範囲外です"),
                             {std::to_string(sf), std::to_string(mi)})};
  }
  t.keySig = 7 - sf;
  t.major = mi == 0 ? 1 : 0;

  in.expect(std::string_view("\x00\xFF\x58\x04", 4), uiText("kelvara::Files", "拍子イベント"));
  t.timeNum = in.u8();
  switch (in.u8()) {
    case 1:
      t.timeDen = 2;
      break;
    case 2:
      t.timeDen = 4;
      break;
    case 3:
      t.timeDen = 8;
      break;
    default:
      break;  // other denominators leave the score's own
  }
  in.expect(std::string_view("\x18\x08", 2), uiText("kelvara::Files", "拍子イベント"));

  in.expect(std::string_view("\x00\xFF\x51\x03", 4), uiText("kelvara::Files", "テンポイベント"));
  const uint32_t micros = in.u24be();
  if (micros == 0)
    throw ReadFault{FileError::BadValue, uiText("kelvara::Files", "テンポが 0 マイクロ秒です")};
  t.tempo = static_cast<int32_t>(60000000 / micros);

  const int noteOn = 0x90 + t.channel, noteOff = 0x80 + t.channel;
  for (;;) {
    at = in.offset();
    const uint32_t delta = in.vlq();
    const int status = in.u8();
    if (status == 0xFF) {
      in.expect(std::string_view("\x2F\x00", 2), "End of Track");
      return t;
    }
    if (status == noteOff) {
      // Key 0 carries the rests after the last note; only End of Track follows.
      if (dataByteAt(in) != 0)
        throw unexpected(at, uiText("kelvara::Files", "音符の始まりのない note-off"));
      dataByteAt(in);
      if (delta > 0) addRest(t, delta, budget);
      in.vlq();
      in.expect(std::string_view("\xFF\x2F\x00", 3), "End of Track");
      return t;
    }
    if (status != noteOn) {
      throw unexpected(
          at, (status & 0xF0) == 0xB0
                  ? uiText("kelvara::Files", "コントロールチェンジ（MIDI 書き出しのファイル？）")
                  : uiText("kelvara::Files", "予期しないイベント"));
    }
    if (delta > 0) addRest(t, delta, budget);
    budget.take();
    RecordPtr note(makeRecord(dataByteAt(in), 0, 1));
    dataByteAt(in);
    int count = 1;
    // Further note-ons at delta 0 are the chord's pitches; the first note-off
    // ends the chord and its delta is the note's length.
    uint32_t d;
    int st;
    for (;;) {
      at = in.offset();
      d = in.vlq();
      st = in.u8();
      if (d != 0 || st != noteOn) break;
      if (count == kPitchSlots)
        throw ReadFault{FileError::BadValue,
                        fillText(uiText("kelvara::Files", "バイト %1 の和音は 10 音を超えています"),
                                 {std::to_string(at)})};
      note->Pitch[count++] = dataByteAt(in);
      dataByteAt(in);
    }
    // A note is never shorter than a 64th, however short the file made it.
    const int64_t length = std::max<int64_t>(roundTo64ths(d, t.rounded), 1);
    if (length > kMaxRecordLength) {
      throw ReadFault{
          FileError::BadValue,
          fillText(uiText("kelvara::Files",
                          "バイト %1 の音符の長さ %2（64 分音符単位）が上限の %3 を超えています"),
                   {std::to_string(at), std::to_string(length), std::to_string(kMaxRecordLength)})};
    }
    note->Length = static_cast<int32_t>(length);
    for (int k = 0; k < count; ++k) {
      if (k > 0) {
        at = in.offset();
        d = in.vlq();
        st = in.u8();
        if (d != 0)
          throw unexpected(at, uiText("kelvara::Files", "和音の途中で時間の進む note-off"));
      }
      if (st != noteOff || dataByteAt(in) != note->Pitch[k]) {
        throw unexpected(at, uiText("kelvara::Files", "和音の音と合わない note-off"));
      }
      t.volume = dataByteAt(in);
    }
    note->LastIndex = count - 1;
    if (count == 1 && isRest(*note)) {
      appendRest(t, note->Length, budget);
    } else {
      t.records.push_back(std::move(note));
    }
  }
}

// A track whose chunk length does not end where its events do.
ReadFault lengthMismatch(int track, uint32_t length) {
  return ReadFault{
      FileError::WrongKind,
      fillText(uiText("kelvara::Files", "トラック %1 の長さ %2 がイベントと合いません"),
               {std::to_string(track + 1), std::to_string(length)})};
}

LoadedScore parseTrackFile(std::span<const uint8_t> bytes, bool singleTrack, int intoPart,
                           int32_t scoreTimeNum, int32_t scoreTimeDen) {
  ByteReader in(bytes);
  in.expect("MThd", uiText("kelvara::Files", "MThd ヘッダ"));
  if (in.u32be() != 6)
    throw ReadFault{FileError::WrongKind,
                    uiText("kelvara::Files", "MThd ヘッダの長さが 6 ではありません")};
  if (in.u16be() != 1)
    throw ReadFault{FileError::WrongKind,
                    uiText("kelvara::Files", "フォーマット 1 の MIDI ファイルではありません")};
  const int tracks = in.u16be();
  if (in.u16be() != kTicksPerQuarter) {
    throw ReadFault{FileError::WrongKind,
                    uiText("kelvara::Files", "分解能が 4 分音符 960 ティックではありません")};
  }
  if (tracks > kPartCount) {
    throw ReadFault{FileError::BadValue,
                    fillText(uiText("kelvara::Files", "トラック数 %1 が 11 を超えています"),
                             {std::to_string(tracks)})};
  }
  if (singleTrack && tracks == 0)
    throw ReadFault{FileError::BadValue, uiText("kelvara::Files", "トラックがありません")};

  LoadedScore loaded;
  PerPart<bool> seen{};
  RecordBudget budget;
  for (int i = 0; i < tracks; ++i) {
    in.expect("MTrk", uiText("kelvara::Files", "MTrk チャンク"));
    const uint32_t length = in.u32be();
    const size_t start = in.offset();
    if (length > in.remaining()) in.skip(length);  // reports the file as cut short
    ByteReader chunk(bytes.subspan(start, length), start);
    ReadTrack t;
    try {
      t = parseTrack(chunk, budget);
    } catch (const ReadFault& f) {
      if (f.error != FileError::Truncated) throw;
      throw lengthMismatch(i, length);
    }
    if (!chunk.atEnd()) throw lengthMismatch(i, length);
    in.skip(length);
    if (!singleTrack && seen[t.channel]) {
      throw ReadFault{FileError::BadValue,
                      fillText(uiText("kelvara::Files", "チャンネル %1 のトラックが二つあります"),
                               {std::to_string(t.channel + 1)})};
    }
    seen[t.channel] = true;
    if (singleTrack && i > 0) continue;  // a ".zqf" load takes the first track only

    loaded.keySig = t.keySig;
    loaded.major = t.major;
    loaded.timeNum = t.timeNum;
    if (t.timeDen) loaded.timeDen = t.timeDen;
    loaded.tempo = t.tempo;
    loaded.rounded = loaded.rounded || t.rounded;
    LoadedPart lp;
    lp.part = singleTrack ? intoPart : t.channel;
    lp.program = t.program;
    lp.volume = t.volume;
    lp.records = std::move(t.records);
    loaded.parts.push_back(std::move(lp));
  }
  if (!in.atEnd()) {
    throw ReadFault{
        FileError::WrongKind,
        fillText(uiText("kelvara::Files", "最後のトラックの後に %1 バイトの余分なデータがあります"),
                 {std::to_string(in.remaining())})};
  }
  // A time signature the file does not name leaves the score's own, and
  // the records are drawn in that.
  const int32_t timeDen = loaded.timeDen.value_or(scoreTimeDen);
  const int32_t timeNum = loaded.timeNum.value_or(scoreTimeNum);
  if (loaded.timeNum) checkTimeSignature(timeNum, timeDen);
  fitRecordsToFile(loaded, timeNum, timeDen);
  checkPageWidths(loaded, timeNum, timeDen);
  return loaded;
}

}  // namespace

FileResult encodeTrackFile(const EditorState& s, int32_t fromBar, int32_t toBar,
                           const std::string& fileName, std::vector<uint8_t>& out) {
  out.clear();
  ByteWriter w(out);
  writeHeaderChunk(w, selectedPartCount(s));
  for (int p = 0; p < kPartCount; ++p) {
    if (!partSelected(s, p)) continue;
    w.text("MTrk");
    const size_t lengthAt = w.size();
    w.u32be(0);
    const size_t start = w.size();
    writeTrackPreamble(w, s, p);
    try {
      writeNoteEvents(w, s, p, fromBar, toBar);
    } catch (const DeltaTooLong&) {
      return FileResult::failure(FileError::Unwritable,
                                 fillText(uiText("kelvara::Files",
                                                 "ファイル %1 を作成できません: %3%2 に MIDI "
                                                 "ファイルで表せない長さの休符か音符があります"),
                                          {fileName, partText(p), partListSpace(p)}));
    }
    writeEndOfTrack(w);
    w.patchU32be(lengthAt, static_cast<uint32_t>(w.size() - start));
  }
  return {};
}

FileResult savedataplus(const EditorState& s, const std::string& fileName, int32_t fromBar,
                        int32_t toBar) {
  return writeEncoded(encodeTrackFile, s, fileName, fromBar, toBar);
}

LoadResult decodeTrackFile(EditorState& s, std::span<const uint8_t> bytes,
                           const std::string& fileName, bool singleTrack, int intoPart) {
  if (singleTrack && (intoPart < 0 || intoPart >= kPartCount)) {
    return FileResult::failure(
        FileError::BadValue,
        fillText(uiText("kelvara::Files", "ファイル %1 を読み込めません: パート %2 はありません"),
                 {fileName, std::to_string(intoPart)}));
  }
  LoadedScore loaded;
  try {
    loaded = parseTrackFile(bytes, singleTrack, intoPart, s.TimeNum, s.TimeDen);
  } catch (const ReadFault& f) {
    return FileResult::failure(f.error, readFaultMessage(fileName, f.detail));
  } catch (const std::bad_alloc&) {
    return FileResult::failure(FileError::CannotOpen, outOfMemoryMessage(fileName));
  }
  LoadResult result;
  handOver(s, loaded, result);
  if (loaded.rounded) {
    result.notice = fillText(uiText("kelvara::Files",
                                    "ファイル %1 には 64 分音符の倍数でない長さがあったため、"
                                    "最も近い 64 分音符の倍数に丸めました"),
                             {fileName});
  }
  return result;
}

LoadResult loaddataplus(EditorState& s, const std::string& fileName, const std::string& extension,
                        int intoPart) {
  std::string bytes;
  const std::string err = readWholeFile(fileName, bytes);
  if (!err.empty()) return FileResult::failure(FileError::CannotOpen, err);
  return decodeTrackFile(s, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                         fileName, extension == ".zqf", intoPart);
}

}  // namespace kelvara
