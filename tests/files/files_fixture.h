#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "score/editor_state.h"
#include "score/onpu.h"
#include "score/part_list.h"

namespace kelvara::testing {

using Bytes = std::vector<uint8_t>;

// Bytes from text such as "4D 54 68 64"; spaces and line breaks are ignored.
inline Bytes hex(const std::string& text) {
  Bytes out;
  std::istringstream in(text);
  std::string byte;
  while (in >> byte) out.push_back(static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
  return out;
}

inline std::string toHex(const Bytes& b) {
  std::string out;
  char buf[4];
  for (uint8_t v : b) {
    std::snprintf(buf, sizeof buf, "%02X ", v);
    out += buf;
  }
  return out;
}

inline Bytes slice(const Bytes& b, size_t from, size_t n) {
  return Bytes(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(from + n));
}

inline Bytes readBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::filesystem::path& p, const Bytes& b) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Runs the independent reader (mido) on a MIDI file and returns its lines;
// fails the test when it cannot read the file.
inline std::vector<std::string> readWithMido(const std::filesystem::path& file) {
  const std::string cmd =
      std::string(KELVARA_PYTHON) + " " + MIDI_READER_SCRIPT + " '" + file.string() + "' 2>&1";
  std::vector<std::string> lines;
  FILE* pipe = ::popen(cmd.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << cmd;
    return lines;
  }
  char buf[512];
  std::string line;
  while (std::fgets(buf, sizeof buf, pipe) != nullptr) {
    line += buf;
    if (!line.empty() && line.back() == '\n') {
      line.pop_back();
      lines.push_back(line);
      line.clear();
    }
  }
  const int status = ::pclose(pipe);
  EXPECT_EQ(status, 0) << "the independent MIDI reader rejected " << file << ":\n"
                       << (lines.empty() ? "" : lines.back());
  return lines;
}

// Only the lines of one kind ("on", "off", "bend", ...) of track t, as
// "TICK KIND ..." without the track number.
inline std::vector<std::string> eventsOf(const std::vector<std::string>& lines, int track,
                                         const std::string& kinds) {
  std::vector<std::string> out;
  const std::string prefix = std::to_string(track) + " ";
  for (const std::string& l : lines) {
    if (l.compare(0, prefix.size(), prefix) != 0) continue;
    std::istringstream in(l.substr(prefix.size()));
    std::string tick, kind;
    in >> tick >> kind;
    if ((" " + kinds + " ").find(" " + kind + " ") != std::string::npos) {
      out.push_back(l.substr(prefix.size()));
    }
  }
  return out;
}

// Appends a closed note (pitch > 0) or rest (0) before the part's end marker.
inline TOnpu* appendTo(EditorState& s, int32_t pitch, int32_t length, int part) {
  TOnpu* r = makeRecord(pitch, length, 1);
  linkBefore(endMarkerOf(s.PartHead[part]), r);
  return r;
}

// A fresh score and a private folder for the files a test writes.
class FilesTest : public ::testing::Test {
 protected:
  FilesTest() {
    s.createLists();
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kelvara-files-XXXXXX").string();
    dir = ::mkdtemp(pattern.data());
  }
  ~FilesTest() override { std::filesystem::remove_all(dir); }

  std::string path(const std::string& name) const { return (dir / name).string(); }

  TOnpu* add(int32_t pitch, int32_t length, int part = 0) {
    return appendTo(s, pitch, length, part);
  }
  TOnpu* addChord(std::initializer_list<int32_t> pitches, int32_t length, int part = 0) {
    TOnpu* r = add(*pitches.begin(), length, part);
    int k = 0;
    for (int32_t p : pitches) r->Pitch[k++] = p;
    r->LastIndex = k - 1;
    return r;
  }
  void selectOnly(std::initializer_list<int> parts) {
    s.PartSelected.fill(0);
    for (int p : parts) s.PartSelected[p] = 1;
  }

  EditorState s;
  std::filesystem::path dir;
};

// A text picture of a score's parts and settings, to show that a failed
// read changed nothing.
inline std::string snapshot(const EditorState& s) {
  std::ostringstream o;
  o << s.KeySig << ' ' << int{s.Major} << ' ' << s.TimeNum << '/' << s.TimeDen << ' ' << s.Tempo;
  for (int p = 0; p < kPartCount; ++p) {
    o << "\n"
      << p << ": " << s.PartProgram[p] << ' ' << s.PartVolume[p] << ' ' << s.PartPan[p] << " cur "
      << s.CurNode[p]->Pitch[0] << " |";
    for (const TOnpu* r = s.PartHead[p]; r != nullptr && !isEndMarker(*r); r = r->Next) {
      o << ' ' << r->Pitch[0] << ':' << r->Length;
    }
  }
  return o.str();
}

}  // namespace kelvara::testing
