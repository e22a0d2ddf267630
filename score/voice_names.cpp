#include "score/voice_names.h"

#include <cstdio>

namespace kelvara {

const std::array<std::string_view, kVoiceCount>& voiceNames() {
  static constexpr std::array<std::string_view, kVoiceCount> names = {
      "Piano 1",        "Piano 2",      "Piano 3",       "Honky-tonk",    "E. Piano 1",
      "E. Piano 2",     "Harpsi chord", "Clav.",         "Celesta",       "Glockenspiel",
      "Music Box",      "Vibraphone",   "Marimba",       "Xylophone",     "Tubular-bell",
      "Santur",         "Organ 1",      "Organ 2",       "Organ 3",       "Church Org. 1",
      "Reed Organ",     "Accordion Fr", "Harmonica",     "Bandneon",      "Nylon-str. Gt.",
      "Steel-str. Gt.", "Jazz Gt.",     "Clean Gt.",     "Muted Gt.",     "Overdrive Gt.",
      "DistortionGt.",  "Gt Harmonics", "Acoustic Bs.",  "Fingered Bs.",  "Picked Bs.",
      "Fretless Bs.",   "Slap Bass 1",  "Slap Bass 2",   "Synth Bass 1",  "Synth Bass 2",
      "Violin",         "Viola",        "Cello",         "Contrabass",    "Tremolo Str",
      "Pizzicato Str",  "Harp",         "Timpani",       "Strings",       "Slow Strings",
      "Syn. Strings1",  "Syn Strings2", "Choir Aahs",    "Voice Oohs",    "SynVox",
      "OrchestraHit",   "Trumpet",      "Trombone",      "Tuba",          "Muted Trumpet",
      "French Horn",    "Brass 1",      "Synth Brass 1", "Synth Brass 2", "Soprano sax",
      "Alto sax",       "Tenor sax",    "Baritone sax",  "Oboe",          "English Horn",
      "Bassoon",        "Clarinet",     "Piccolo",       "Flute",         "Recorder",
      "Pan Flute",      "Bottle Blow",  "Shakuhachi",    "Whistle",       "Ocarina",
      "Square Wave",    "Saw Wave",     "Syn. Calliope", "Chiffer Lead",  "Charang",
      "Solo Vox",       "5th Saw Wave", "Bass & Lead",   "Fantasia",      "WarmPad",
      "Polysynth",      "Space Voice",  "Bowed Glass",   "Metal Pad",     "Halo Pad",
      "Sweep Pad",      "Ice Rain",     "Soundtrack",    "Crystal",       "Atmosphere",
      "Brightness",     "Goblin",       "Echo Drops",    "Star Theme",    "Sitar",
      "Banjo",          "Shamisen",     "Koto",          "Kalimba",       "Bag Pipe",
      "Fiddle",         "Shannai",      "Tinkle Bell",   "Agogo",         "Steel Drums",
      "Woodlock",       "Taiko",        "Melo Tom 1",    "Synth Drum",    "Reverse Cym.",
      "Gt. FretNoise",  "Breath Noise", "Seashore",      "Bird",          "Telephone 1",
      "Helicopter",     "Applause",     "Gun Shot",
  };
  return names;
}

std::string voiceListEntry(int program) {
  if (program < 0 || program >= kVoiceCount) return {};
  char number[8];
  std::snprintf(number, sizeof number, "%3d: ", program);
  return number + std::string(voiceNames()[static_cast<size_t>(program)]);
}

}  // namespace kelvara
