#include <sys/wait.h>

#include <cstdlib>
#include <random>
#include <sstream>

#include "files/convert_command.h"
#include "files/musicxml_export.h"
#include "files/musicxml_import.h"
#include "files/score_file.h"
#include "files/zqf3_file.h"
#include "files_fixture.h"

namespace kelvara::testing {
namespace {

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs a shell command; its exit status, and its output in `output`.
int runCommand(const std::string& command, std::string* output = nullptr) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return -1;
  char buf[4096];
  std::string text;
  while (size_t n = std::fread(buf, 1, sizeof buf, pipe)) text.append(buf, n);
  const int status = ::pclose(pipe);
  if (output != nullptr) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

[[maybe_unused]] bool haveProgram(const std::string& name) {
  return runCommand("command -v " + name) == 0;
}

// A part as text: "pitches:length" per note (chords highest first), "r" and
// the length per rest, tuplet fields in brackets, velocity and length
// adjustment where they are not the defaults. Rests next to each other are
// shown joined and rests at the end are left out: MusicXML keeps neither
// apart from the music.
std::string dumpPart(const EditorState& s, int part) {
  std::vector<std::string> out;
  int64_t rest = 0;
  auto flush = [&] {
    if (rest > 0) out.push_back("r" + std::to_string(rest));
    rest = 0;
  };
  for (const TOnpu* r = firstRecordOf(s.PartHead[part]); !isEndMarker(*r); r = r->Next) {
    if (isRest(*r) && r->RenIndex == 0) {
      rest += r->Length;
      continue;
    }
    flush();
    std::string t = isRest(*r) ? "r" : "";
    for (int i = 0; isNote(*r) && i <= r->LastIndex; ++i) {
      t += (i > 0 ? "." : "") + std::to_string(r->Pitch[i]);
    }
    t += ":" + std::to_string(r->Length);
    if (r->RenIndex > 0) {
      t += "[" + std::to_string(r->RenIndex) + "/" + std::to_string(r->RenCount) + "/" +
           std::to_string(r->RenLength) + "]";
    }
    if (isNote(*r) && r->Velocity != 100) t += "v" + std::to_string(r->Velocity);
    if (isNote(*r) && r->LenNum != 0) {
      const int g = std::gcd(r->LenNum, r->LenDen);
      t += "~" + std::to_string(r->LenNum / g) + "/" + std::to_string(r->LenDen / g);
    }
    out.push_back(t);
  }
  std::string text;
  for (const std::string& t : out) text += (text.empty() ? "" : " ") + t;
  return text;
}

std::string dumpScore(const EditorState& s) {
  std::ostringstream o;
  o << "key " << s.KeySig << (s.Major ? " major " : " minor ") << s.TimeNum << "/" << s.TimeDen
    << " tempo " << s.Tempo << "\n";
  for (int p = 0; p < kPartCount; ++p) {
    const std::string part = dumpPart(s, p);
    if (!part.empty()) {
      o << p << ": prog " << s.PartProgram[p] << " vol " << s.PartVolume[p] << " pan "
        << s.PartPan[p] << " | " << part << "\n";
    }
  }
  return o.str();
}

// The spellings (step, alter, octave) of every pitched note of a MusicXML
// text, sorted: what a reader shows, whatever order it keeps chords in.
std::vector<std::string> spellings(const std::string& xml) {
  std::vector<std::string> out;
  for (size_t at = xml.find("<pitch>"); at != std::string::npos; at = xml.find("<pitch>", at + 1)) {
    const size_t end = xml.find("</pitch>", at);
    auto field = [&](const std::string& name) {
      const size_t b = xml.find("<" + name + ">", at);
      if (b == std::string::npos || b > end) return std::string("0");
      const size_t e = xml.find("</", b);
      return xml.substr(b + name.size() + 2, e - b - name.size() - 2);
    };
    out.push_back(field("step") + field("alter") + field("octave"));
  }
  std::sort(out.begin(), out.end());
  return out;
}

class MusicXml : public FilesTest {
 protected:
  // Reads `text` into a fresh score and returns its dump (or the error).
  std::string reread(const std::string& text, std::string* notice = nullptr) {
    EditorState back;
    back.createLists();
    const LoadResult r = decodeMusicXml(back, text, "x.musicxml");
    if (notice != nullptr) *notice = r.notice;
    return r.ok() ? dumpScore(back) : r.message;
  }

  // Chords, a triplet, notes tied over bar lines, black keys that the key
  // spells as sharps or flats, a second staff, modifiers and drums.
  void writeSample() {
    addChord({79, 72, 64}, 16);  // C major chord, stem down
    add(66, 24);                 // F sharp, dotted
    add(0, 8);
    add(70, 40);  // over the bar line
    for (int i = 0; i < 3; ++i) {
      TOnpu* r = add(i == 1 ? 0 : 61 + i, 8);
      r->RenIndex = i + 1;
      r->RenCount = 3;
      r->RenLength = 16;
    }
    TOnpu* loud = addChord({67, 48, 43}, 64);  // both staves
    loud->Velocity = 120;
    loud->LenNum = -1;
    loud->LenDen = 16;
    TOnpu* bent = add(65, 16);
    bent->YoinType = 1;
    bent->YoinAmount = 100;
    add(36, 8, kPercussionPart);
    add(42, 8, kPercussionPart);
    addChord({49, 36}, 16, kPercussionPart);
    add(50, 32, 10);
    s.PartProgram[0] = 40;
    s.PartVolume[0] = 90;
    s.PartPan[0] = 4;
    s.Tempo = 96;
  }
};

TEST_F(MusicXml, ExportIsValidAgainstTheSchemaInEveryKeyAndTime) {
  ASSERT_TRUE(haveProgram("xmllint")) << "the set-up installs libxml2-utils";
  writeSample();
  const std::string schema = std::string(TEST_DATA_DIR) + "/musicxml_schema";
  const struct {
    int32_t key, num, den;
  } cases[] = {{7, 4, 4}, {4, 3, 4}, {11, 6, 8}, {0, 2, 2}, {14, 9, 8}};
  for (const auto& c : cases) {
    s.KeySig = c.key;
    s.TimeNum = c.num;
    s.TimeDen = c.den;
    // Standard notation (dots, beams) in every other case.
    s.StandardNotation = !s.StandardNotation;
    const std::string file = path("k" + std::to_string(c.key) + ".musicxml");
    ASSERT_TRUE(saveMusicXml(s, file).ok());
    std::string output;
    EXPECT_EQ(runCommand("XML_CATALOG_FILES='" + schema +
                             "/catalog.xml' xmllint --nonet --noout --schema '" + schema +
                             "/musicxml.xsd' '" + file + "'",
                         &output),
              0)
        << output;
  }
}

TEST_F(MusicXml, SampleReadsBackAndKeepsSpellingTiesAndTuplets) {
  writeSample();
  s.KeySig = 9;  // two flats: 70 is B flat, 63 E flat
  const std::string text = encodeMusicXml(s, "曲");
  EXPECT_NE(text.find("<part-name>1パート</part-name>"), std::string::npos);
  EXPECT_NE(text.find("<work-title>曲</work-title>"), std::string::npos);
  EXPECT_NE(text.find("<display-step>C</display-step>"), std::string::npos);
  EXPECT_NE(text.find("<sound tempo=\"96\"/>"), std::string::npos);
  EXPECT_EQ(reread(text),
            "key 9 major 4/4 tempo 96\n"
            "0: prog 40 vol 90 pan 4 | 79.72.64:16 66:24 r8 70:40 61:8[1/3/16] r:8[2/3/16] "
            "63:8[3/3/16] 67.48.43:64v120~-1/16 65:16\n"
            "9: prog 0 vol 100 pan 10 | 36:8 42:8 49.36:16\n"
            "10: prog 0 vol 100 pan 10 | 50:32\n");
  // In two flats the editor draws 70 as B flat (tied over the bar line); the
  // E natural of the first chord stays in force, so 63 is D sharp. In C major
  // 70 is A sharp.
  const auto flats = spellings(text);
  EXPECT_TRUE(std::count(flats.begin(), flats.end(), "B-14") == 2 &&
              std::count(flats.begin(), flats.end(), "D14") == 1)
      << ::testing::PrintToString(flats);
  s.KeySig = 7;
  const auto sharps = spellings(encodeMusicXml(s, ""));
  EXPECT_TRUE(std::count(sharps.begin(), sharps.end(), "A14") == 2 &&
              std::count(sharps.begin(), sharps.end(), "D14") == 1)
      << ::testing::PrintToString(sharps);
}

TEST_F(MusicXml, StandardNotationShowsAccidentalsBarByBar) {
  s.KeySig = 8;  // one flat
  add(66, 32);   // F sharp
  add(66, 16);   // still sharp in this bar
  add(66, 32);   // tied over the bar line: no second sign
  add(66, 16);   // the tie carried the sharp no further
  add(71, 16);   // B natural, then 70 is A sharp in this bar
  add(70, 16);
  add(0, 32);
  add(70, 32);  // the key's B flat again after the bar line
  auto count = [](const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };
  const std::string usual = encodeMusicXml(s, "");
  EXPECT_EQ(count(usual, "<accidental>sharp</accidental>"), 2u);
  const auto kept = spellings(usual);
  EXPECT_EQ(std::count(kept.begin(), kept.end(), "A14"), 2) << "the natural of B stays in force";
  s.StandardNotation = true;
  const std::string standard = encodeMusicXml(s, "");
  EXPECT_EQ(count(standard, "<accidental>sharp</accidental>"), 3u);
  EXPECT_EQ(count(standard, "<accidental>natural</accidental>"), 1u);
  const auto spelled = spellings(standard);
  EXPECT_EQ(std::count(spelled.begin(), spelled.end(), "B-14"), 1)
      << ::testing::PrintToString(spelled);
  EXPECT_EQ(std::count(spelled.begin(), spelled.end(), "A14"), 1)
      << ::testing::PrintToString(spelled);
}

// Random scores of every part: notes, chords over both staves, rests,
// tuplets, velocities and length adjustments in a random key, time and tempo
// come back the same through MusicXML and its compressed kind.
TEST_F(MusicXml, RandomScoresRoundTrip) {
  std::mt19937 rng(20261208);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int32_t times[][2] = {{4, 4}, {3, 4}, {2, 4}, {9, 8}, {6, 8}, {3, 8}, {2, 2}};
  for (int round = 0; round < 12; ++round) {
    EditorState src;
    src.createLists();
    src.KeySig = pick(0, 14);
    src.Major = static_cast<uint8_t>(pick(0, 1));
    src.TimeNum = times[round % 7][0];
    src.TimeDen = times[round % 7][1];
    src.Tempo = pick(30, 240);
    for (int p = 0; p < kPartCount; ++p) {
      if (pick(0, 2) == 0) continue;
      src.PartProgram[p] = p == kPercussionPart ? 0 : pick(0, 127);
      src.PartVolume[p] = pick(0, 127);
      src.PartPan[p] = pick(0, 20);
      for (int n = pick(1, 25); n > 0; --n) {
        const int kind = pick(0, 9);
        if (kind == 0) {
          // A tuplet of 2..7 equal values in a whole, half, quarter or eighth,
          // one of them a note at least.
          const int count = pick(2, 7), span = 8 << pick(0, 3);
          const int value = std::max(1, span / count);
          for (int i = 1; i <= count; ++i) {
            TOnpu* r = appendTo(src, i > 1 && pick(0, 3) == 0 ? 0 : pick(36, 90), value, p);
            r->RenIndex = i;
            r->RenCount = count;
            r->RenLength = span;
          }
          continue;
        }
        TOnpu* r = appendTo(src, kind == 1 ? 0 : pick(30, 96), pick(1, 80), p);
        if (kind >= 7) {
          for (int k = 1; k < pick(2, 5); ++k) r->Pitch[k] = r->Pitch[k - 1] - pick(1, 12);
          r->LastIndex = static_cast<int32_t>(std::count_if(r->Pitch.begin(), r->Pitch.end(),
                                                            [](int32_t x) { return x >= 0; })) -
                         1;
        }
        if (isNote(*r)) {
          r->Velocity = pick(1, 127);
          if (pick(0, 3) == 0) {
            r->LenNum = pick(-3, 3);
            r->LenDen = 1 << pick(2, 5);
          }
        }
      }
    }
    const std::string file = path(round % 2 == 0 ? "r.musicxml" : "r.mxl");
    ASSERT_TRUE(saveMusicXml(src, file).ok());
    EditorState back;
    back.createLists();
    const LoadResult r = loadScoreFile(back, file, 0);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.notice, "");
    EXPECT_EQ(dumpScore(back), dumpScore(src)) << "round " << round;
  }
}

// A score as another notation program writes it: two voices in one staff,
// a second staff, ties, a grace note, lyrics, a slur and a later time change.
TEST_F(MusicXml, ForeignScoreKeepsNotesAndRhythmAndCountsWhatIsLeftOut) {
  const std::string partwise = R"(<?xml version="1.0" encoding="UTF-8"?>
<score-partwise version="3.1"><part-list><score-part id="A"><part-name>Pno</part-name>
<midi-instrument id="A1"><midi-channel>1</midi-channel><midi-program>5</midi-program></midi-instrument>
</score-part></part-list>
<part id="A"><measure number="1">
<attributes><divisions>2</divisions><key><fifths>-2</fifths><mode>minor</mode></key>
<time><beats>3</beats><beat-type>4</beat-type></time><staves>2</staves></attributes>
<direction><direction-type><words>dolce</words></direction-type><sound tempo="72.4"/></direction>
<note><pitch><step>E</step><alter>-1</alter><octave>5</octave></pitch><duration>4</duration><tie type="start"/><voice>1</voice><type>half</type><staff>1</staff><lyric><text>la</text></lyric></note>
<note><grace/><pitch><step>D</step><octave>5</octave></pitch><voice>1</voice><type>eighth</type></note>
<note><pitch><step>E</step><alter>-1</alter><octave>5</octave></pitch><duration>2</duration><tie type="stop"/><voice>1</voice><type>quarter</type><staff>1</staff><notations><slur type="start"/></notations></note>
<backup><duration>6</duration></backup>
<note><pitch><step>G</step><octave>4</octave></pitch><duration>2</duration><voice>2</voice><type>quarter</type><staff>1</staff></note>
<note><pitch><step>A</step><octave>4</octave></pitch><duration>2</duration><voice>2</voice><type>quarter</type><staff>1</staff></note>
<note><pitch><step>B</step><alter>-1</alter><octave>4</octave></pitch><duration>2</duration><voice>2</voice><type>quarter</type><staff>1</staff></note>
<backup><duration>6</duration></backup>
<note><pitch><step>C</step><octave>3</octave></pitch><duration>6</duration><voice>5</voice><type>half</type><dot/><staff>2</staff></note>
</measure><measure number="2"><attributes><time><beats>2</beats><beat-type>4</beat-type></time></attributes>
<note><rest/><duration>1</duration><voice>1</voice><staff>1</staff></note>
<note><pitch><step>C</step><octave>5</octave></pitch><duration>3</duration><voice>1</voice><type>quarter</type><dot/><staff>1</staff></note>
</measure></part></score-partwise>)";
  std::string notice;
  const std::string expected =
      "key 9 minor 3/4 tempo 72\n"
      "0: prog 4 vol 100 pan 10 | 75.48:48 r8 72:24\n"
      "1: prog 4 vol 100 pan 10 | 67:16 69:16 70:16\n";
  EXPECT_EQ(reread(partwise, &notice), expected);
  EXPECT_EQ(notice,
            "この楽譜で扱えないものを省きました: 歌詞 1、スラー 1、装飾音符 1、途中の拍子 1。");

  // The same music measure by measure (timewise) reads the same.
  std::string timewise = partwise;
  auto replaceAll = [&](const std::string& from, const std::string& to) {
    for (size_t at = timewise.find(from); at != std::string::npos;
         at = timewise.find(from, at + to.size())) {
      timewise.replace(at, from.size(), to);
    }
  };
  replaceAll("score-partwise", "score-timewise");
  replaceAll("<part id=\"A\"><measure number=\"1\">", "<measure number=\"1\"><part id=\"A\">");
  replaceAll("</measure><measure number=\"2\">",
             "</part></measure><measure number=\"2\"><part id=\"A\">");
  replaceAll("</measure></part></score-timewise>", "</part></measure></score-timewise>");
  EXPECT_EQ(reread(timewise), expected);
}

// One measure of a foreign part in 4/4 at six divisions a quarter, as the
// reader takes it, and what its notice says.
TEST_F(MusicXml, ForeignMeasuresReadAsTheEditorHoldsThem) {
  auto note = [](const std::string& inner) { return "<note>" + inner + "</note>"; };
  auto pitch = [](const char* step, int octave) {
    return std::string("<pitch><step>") + step + "</step><octave>" + std::to_string(octave) +
           "</octave></pitch>";
  };
  const std::string triplet =
      "<time-modification><actual-notes>3</actual-notes>"
      "<normal-notes>2</normal-notes></time-modification>";
  const struct {
    std::string name, partList, music, dump, notice;
  } cases[] = {
      {"a MuseScore-style triplet with a rest", "",
       note(pitch("C", 5) + "<duration>2</duration><type>eighth</type>" + triplet +
            "<notations><tuplet type=\"start\"/></notations>") +
           note("<rest/><duration>2</duration><type>eighth</type>" + triplet) +
           note(pitch("E", 5) + "<duration>2</duration><type>eighth</type>" + triplet +
                "<notations><tuplet type=\"stop\"/></notations>"),
       "0: 72:8[1/3/16] r:8[2/3/16] 76:8[3/3/16]", ""},
      {"an uneven triplet is approximated and said so", "",
       note(pitch("C", 5) + "<duration>4</duration><type>quarter</type>" + triplet +
            "<notations><tuplet type=\"start\"/></notations>") +
           note(pitch("E", 5) + "<duration>2</duration><type>eighth</type>" + triplet +
                "<notations><tuplet type=\"stop\"/></notations>"),
       "0: 72:11 76:5",
       "この楽譜で扱えないものを省きました: 64分音符単位に丸めた長さ 2、近似した連符 1。"},
      {"drums by instrument go to the percussion part",
       "<midi-instrument "
       "id=\"D36\"><midi-channel>10</midi-channel><midi-unpitched>37</midi-unpitched>"
       "</midi-instrument>",
       note(
           "<unpitched><display-step>F</display-step><display-octave>4</display-octave></unpitched>"
           "<duration>6</duration><instrument id=\"D36\"/>") +
           note("<unpitched><display-step>E</display-step><display-octave>4</display-octave>"
                "</unpitched><duration>6</duration>"),
       "9: 36:16 64:16", ""},
      {"a gap left by forward is a rest; a partly tied chord keeps both", "",
       "<forward><duration>6</duration></forward>" +
           note(pitch("C", 4) + "<duration>6</duration><tie type=\"start\"/>") +
           note("<chord/>" + pitch("E", 4) + "<duration>6</duration>") +
           note(pitch("C", 4) + "<duration>6</duration><tie type=\"stop\"/>") +
           note("<chord/>" + pitch("E", 4) + "<duration>6</duration>"),
       "0: r16 64.60:16 64.60:16", "この楽譜で扱えないものを省きました: 結べなかったタイ 1。"},
      {"a cue note keeps its time as a rest", "",
       note("<cue/>" + pitch("C", 4) + "<duration>6</duration>") +
           note(pitch("D", 4) + "<duration>6</duration>"),
       "0: r16 62:16", "この楽譜で扱えないものを省きました: キュー音符 1。"},
  };
  for (const auto& c : cases) {
    const std::string text =
        "<score-partwise><part-list><score-part id=\"A\"><part-name>x</part-name>" + c.partList +
        "</score-part></part-list><part id=\"A\"><measure><attributes><divisions>6</divisions>"
        "</attributes>" +
        c.music + "</measure></part></score-partwise>";
    EditorState back;
    back.createLists();
    const LoadResult r = decodeMusicXml(back, text, "x.musicxml");
    ASSERT_TRUE(r.ok()) << c.name << ": " << r.message;
    std::string dump;
    for (int p = 0; p < kPartCount; ++p) {
      const std::string part = dumpPart(back, p);
      if (!part.empty()) dump += (dump.empty() ? "" : "\n") + std::to_string(p) + ": " + part;
    }
    EXPECT_EQ(dump, c.dump) << c.name;
    EXPECT_EQ(r.notice, c.notice) << c.name;
  }
}

TEST_F(MusicXml, ConvertWritesAndReadsEveryKind) {
  writeSample();
  ASSERT_TRUE(savedataplus2(s, path("in.zqf3")).ok());
  std::ostringstream out, err;
  for (const char* kind : {".musicxml", ".xml", ".mxl"}) {
    const std::string xml = path(std::string("s") + kind), back = path(std::string("b") + kind);
    ASSERT_EQ(runConvertCommand({path("in.zqf3"), xml, "--parts", "1,perc"}, out, err), 0)
        << err.str();
    ASSERT_EQ(runConvertCommand({xml, path("back.zqf3")}, out, err), 0) << err.str();
    EditorState read;
    read.createLists();
    ASSERT_TRUE(loadScoreFile(read, path("back.zqf3"), 0).ok());
    EXPECT_EQ(dumpPart(read, 0), dumpPart(s, 0)) << kind;
    EXPECT_EQ(dumpPart(read, kPercussionPart), dumpPart(s, kPercussionPart)) << kind;
    EXPECT_EQ(dumpPart(read, 10), "") << kind << ": not among the parts asked for";
  }
}

TEST_F(MusicXml, MalformedFilesAreRefusedWithTheirPlaceAndChangeNothing) {
  const std::string head =
      "<?xml version=\"1.0\"?>\n<score-partwise><part-list><score-part id=\"P\"/></part-list>\n"
      "<part id=\"P\"><measure><attributes><divisions>4</divisions></attributes>\n";
  std::string deep = head;
  for (int i = 0; i < 100; ++i) deep += "<x>";
  const struct {
    std::string text, fault;
  } cases[] = {
      {head + "<note><pitch><step>C</step><octave>4</octave></pitch>", "行 4、桁 54: "},
      {"<?xml version=\"1.0\"?>\n<html><body/></html>", "MusicXML の楽譜ではありません"},
      {head + "<note><pitch><step>H</step><octave>4</octave></pitch><duration>4</duration></note>",
       "音名 'H'"},
      {head + "<note><rest/></note>", "<duration> がありません"},
      {head + "<note><rest/><duration>x</duration></note>", "数値ではありません"},
      {deep, "入れ子が深すぎます"},
      {"<?xml version=\"1.0\"?>\n<!DOCTYPE s [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
       "\"&a;&a;&a;&a;&a;&a;\">"
       "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
       "<score-partwise>&d;&d;&d;&d;&d;</score-partwise>",
       "行 2、桁 "},
  };
  writeSample();
  const std::string before = snapshot(s);
  for (const auto& c : cases) {
    const LoadResult r = decodeMusicXml(s, c.text, "bad.musicxml");
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.message.find("bad.musicxml"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find(c.fault), std::string::npos) << r.message;
  }
  EXPECT_EQ(snapshot(s), before);
  // A compressed file that is no archive.
  writeBytes(path("bad.mxl"), hex("50 4B 03 04 00 00"));
  const LoadResult r = loadScoreFile(s, path("bad.mxl"), 0);
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.message.find("zip"), std::string::npos) << r.message;
  EXPECT_EQ(snapshot(s), before);
}

TEST_F(MusicXml, ScoreTooLongForTheReaderIsRefusedAndNothingIsWritten) {
  s.TimeNum = 3;
  s.TimeDen = 8;
  for (int i = 0; i < 300; ++i) add(60, 65535);
  const FileResult r = saveMusicXml(s, path("long.musicxml"));
  EXPECT_EQ(r.error, FileError::Unwritable);
  EXPECT_NE(r.message.find("long.musicxml"), std::string::npos) << r.message;
  EXPECT_FALSE(std::filesystem::exists(path("long.musicxml")));
}

// MuseScore 3 reads the export with the same notes, spelling, ties, tuplets
// and parts: what it writes back as MusicXML reads here as the source.
// The upper staff's notes of the first part, one a word: type, a "." per
// dot, "^" or "_" for a stem up or down, "r" for a rest, beams as number and
// kind ("1b" begin, "1c" continue, "1e" end, "2f"/"2k" forward and backward
// hooks) in braces; chord notes after the first are left out.
std::string upperStaffValues(const std::string& xml) {
  std::string out;
  const size_t partEnd = xml.find("</part>");
  for (size_t at = xml.find("<note"); at < partEnd; at = xml.find("<note", at + 1)) {
    const size_t end = xml.find("</note>", at);
    const std::string note = xml.substr(at, end - at);
    if (note.find("<staff>1</staff>") == std::string::npos ||
        note.find("<chord/>") != std::string::npos)
      continue;
    const size_t t = note.find("<type>");
    std::string word = note.find("<rest") != std::string::npos ? "r" : "";
    word += note.substr(t + 6, note.find("</type>") - t - 6);
    for (size_t d = note.find("<dot/>"); d != std::string::npos; d = note.find("<dot/>", d + 1)) {
      word += ".";
    }
    if (note.find("<stem>up</stem>") != std::string::npos) word += "^";
    if (note.find("<stem>down</stem>") != std::string::npos) word += "_";
    std::string beams;
    for (size_t b = note.find("<beam number=\""); b != std::string::npos;
         b = note.find("<beam number=\"", b + 1)) {
      const size_t value = note.find('>', b) + 1;
      const std::string kind = note.substr(value, note.find('<', value) - value);
      beams += (beams.empty() ? "" : " ") + note.substr(b + 14, 1) +
               (kind == "backward hook" ? 'k' : kind[0]);
    }
    if (!beams.empty()) word += "{" + beams + "}";
    out += (out.empty() ? "" : " ") + word;
  }
  return out;
}

TEST_F(MusicXml, StandardNotationWritesDottedValuesAndBeams) {
  add(67, 24);  // dotted quarter and eighth
  add(69, 8);
  add(64, 8);  // beamed eighths
  add(67, 8);
  add(72, 4);  // sixteenths broken by a rest
  add(71, 4);
  add(0, 4);
  add(67, 4);
  for (int i = 0; i < 3; ++i) {  // a triplet of eighths
    TOnpu* r = add(60 + 2 * i, 8);
    r->RenIndex = i + 1;
    r->RenCount = 3;
    r->RenLength = 16;
  }
  add(62, 12);  // dotted eighth and sixteenth
  add(65, 4);
  add(60, 28);  // double-dotted quarter
  add(62, 4);
  add(79, 16);  // stems down from the highest note; a whole note has none
  add(64, 16);
  add(84, 32);
  add(72, 64);
  add(81, 8, kPercussionPart);  // the percussion staff's stems point up, high keys too
  add(42, 8, kPercussionPart);  // the closed hi-hat: G5 with a cross head
  const std::string usual = encodeMusicXml(s, "");
  EXPECT_EQ(usual.find("<beam"), std::string::npos);
  EXPECT_EQ(usual.find("<stem>"), std::string::npos);
  s.StandardNotation = true;
  const std::string text = encodeMusicXml(s, "");
  EXPECT_EQ(upperStaffValues(text),
            "quarter.^ eighth^ eighth^{1b} eighth^{1e} 16th_{1b 2b} 16th_{1e 2e} r16th 16th^ "
            "eighth^{1b} eighth^{1c} eighth^{1e} eighth.^{1b} 16th^{1e 2k} quarter..^ 16th^ "
            "quarter_ quarter^ half_ whole");
  const size_t drums =
      text.find("<part id=\"P" + std::to_string(listItemForPart(kPercussionPart) + 1) + "\"");
  ASSERT_NE(drums, std::string::npos);
  const std::string drumPart = text.substr(drums, text.find("</part>", drums) - drums);
  EXPECT_EQ(drumPart.find("<stem>down</stem>"), std::string::npos);
  EXPECT_NE(drumPart.find("<stem>up</stem>"), std::string::npos);
  // The drums stand at their places on the upper staff, as drawn.
  EXPECT_NE(drumPart.find("<display-step>B</display-step><display-octave>4</display-octave>"),
            std::string::npos);
  EXPECT_NE(drumPart.find("<display-step>G</display-step><display-octave>5</display-octave>"),
            std::string::npos);
  EXPECT_NE(drumPart.find("<notehead>x</notehead>"), std::string::npos);
  // One staff with the percussion clef and no key signature.
  EXPECT_NE(drumPart.find("<clef><sign>percussion</sign></clef>"), std::string::npos);
  for (const char* absent : {"<staves>", "<backup>", "<key>", "<staff>2</staff>"}) {
    EXPECT_EQ(drumPart.find(absent), std::string::npos) << absent;
  }
  EXPECT_EQ(reread(text), reread(usual));
}

TEST_F(MusicXml, MuseScoreReadsTheExport) {
  if (!haveProgram("mscore3")) GTEST_SKIP() << "MuseScore 3 (mscore3) is not installed";
  writeSample();
  for (int32_t key : {7, 3, 12}) {
    s.KeySig = key;
    const std::string ours = path("ours.musicxml"), theirs = path("theirs.musicxml");
    ASSERT_TRUE(saveMusicXml(s, ours).ok());
    std::string output;
    ASSERT_EQ(runCommand("QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR='" + dir.string() +
                             "' timeout 120 mscore3 '" + ours + "' -o '" + theirs + "'",
                         &output),
              0)
        << output;
    const std::string back = readText(theirs);
    EXPECT_EQ(spellings(back), spellings(readText(ours))) << "key " << key;
    // The notes as they read back; MuseScore keeps no length adjustment and
    // rounds volumes to its own steps.
    auto notes = [&](const std::string& xml) {
      EditorState read;
      read.createLists();
      EXPECT_TRUE(decodeMusicXml(read, xml, "x.musicxml").ok());
      std::string text;
      for (int p = 0; p < kPartCount; ++p)
        text += std::to_string(p) + ": " + dumpPart(read, p) + "\n";
      for (size_t at = text.find('~'); at != std::string::npos; at = text.find('~', at)) {
        text.erase(at, text.find_first_of(" \n", at) - at);
      }
      return text;
    };
    EXPECT_EQ(notes(back), notes(readText(ours))) << "key " << key;
  }
}

}  // namespace
}  // namespace kelvara::testing
