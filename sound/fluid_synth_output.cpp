#include "sound/fluid_synth_output.h"

#include <fluidsynth.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "score/ui_text.h"
#include "sound/notices.h"

namespace kelvara {

namespace {

// FluidSynth reports through a process-wide log. Its messages are kept (the
// last error goes into our notices) instead of being printed, except when
// KELVARA_SOUND_LOG is set.
std::mutex& logMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& lastFluidError() {
  static std::string text;
  return text;
}

void keepFluidMessage(int level, const char* message, void* print) {
  if (print != nullptr) std::fprintf(stderr, "fluidsynth: %s\n", message);
  if (level <= FLUID_ERR) {
    std::lock_guard<std::mutex> lock(logMutex());
    lastFluidError() = message;
  }
}

void installFluidLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    void* print =
        std::getenv("KELVARA_SOUND_LOG") != nullptr ? reinterpret_cast<void*>(1) : nullptr;
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      fluid_set_log_function(level, keepFluidMessage, print);
    }
  });
}

std::string takeFluidError() {
  std::lock_guard<std::mutex> lock(logMutex());
  std::string text;
  text.swap(lastFluidError());
  return text;
}

struct SettingsDeleter {
  void operator()(fluid_settings_t* p) const { delete_fluid_settings(p); }
};
struct SynthDeleter {
  void operator()(fluid_synth_t* p) const { delete_fluid_synth(p); }
};
struct DriverDeleter {
  void operator()(fluid_audio_driver_t* p) const { delete_fluid_audio_driver(p); }
};

constexpr int kSustainPedal = 64;
constexpr int kSostenutoPedal = 66;
constexpr int kChannels = 16;
// Messages kept while the soundfont loads; more than enough for the program,
// volume and pan of every channel several times over.
constexpr size_t kMaxKeptMessages = 4096;

// True when the address-space limit (ulimit -v) leaves room to load a
// soundfont of `bytes`: the synthesizer keeps its samples in memory, and it
// does not survive running out in the middle of a load. The margin covers
// its own tables and what the program allocates meanwhile.
bool roomForSoundFont(uintmax_t bytes) {
  constexpr uintmax_t kMarginBytes = uintmax_t{64} << 20;
  rlimit limit{};
  if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return true;
  std::ifstream statm("/proc/self/statm");
  uintmax_t pages = 0;
  if (!(statm >> pages)) return true;
  const uintmax_t used = pages * static_cast<uintmax_t>(::sysconf(_SC_PAGESIZE));
  return used + bytes + kMarginBytes <= limit.rlim_cur;
}

bool isNoteMessage(const ShortMessage& m) {
  return m.kind() == 0x80 || m.kind() == 0x90;
}

}  // namespace

struct FluidSynthOutput::Impl {
  FluidSynthOptions options;
  // Declared in the order they are made; destroyed driver first, which stops
  // the audio thread before the synthesizer goes.
  std::unique_ptr<fluid_settings_t, SettingsDeleter> settings;
  std::unique_ptr<fluid_synth_t, SynthDeleter> synth;
  std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver;
  std::string soundFont;
  std::string tooLarge;  // a soundfont left unloaded for want of memory
  bool open = false;

  // A background load: until `ready`, `mutex` guards openWanted and kept,
  // and only the loading thread touches the soundfont and the driver.
  std::atomic<bool> ready{true};
  mutable std::mutex mutex;
  mutable std::condition_variable readyChanged;
  bool openWanted = false;
  std::vector<uint32_t> kept;
  std::thread loader;

  std::mutex noticeMutex;
  NoticeBoard notices;

  void post(const std::string& key, std::string text) {
    std::lock_guard<std::mutex> lock(noticeMutex);
    notices.postOnce(key, std::move(text));
  }

  void waitUntilReady() const {
    if (ready) return;
    std::unique_lock<std::mutex> lock(mutex);
    readyChanged.wait(lock, [this] { return ready.load(); });
  }

  bool loadSoundFont(const std::string& path) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return false;
    // Checked first: other files would go to a loader that complains aloud.
    if (!fluid_is_soundfont(path.c_str())) return false;
    if (!roomForSoundFont(std::filesystem::file_size(path, ec))) {
      tooLarge = path;
      return false;
    }
    if (fluid_synth_sfload(synth.get(), path.c_str(), 1) == FLUID_FAILED) return false;
    soundFont = path;
    return true;
  }

  void loadFirstSoundFont() {
    const std::string& named = options.namedSoundFont;
    const bool namedLoaded = !named.empty() && loadSoundFont(named);
    if (!namedLoaded) {
      for (const std::string& path : options.soundFonts) {
        if (loadSoundFont(path)) break;
      }
    }
    takeFluidError();
    if (soundFont.empty() && !tooLarge.empty()) {
      post("soundfont memory",
           fillText(uiText("kelvara::Sound",
                           "メモリが足りないため音色ファイル「%1」を読み込めず、"
                           "内蔵シンセサイザーの音は鳴りません。"
                           "楽譜の編集はそのまま続けられます。"),
                    {tooLarge}));
    } else if (!named.empty() && !namedLoaded) {
      post("named soundfont",
           soundFont.empty() ? fillText(uiText("kelvara::Sound",
                                               "指定された音色ファイル「%1」を読み込めず、"
                                               "ほかの音色ファイルも見つからないため、"
                                               "内蔵シンセサイザーの音は鳴りません。"),
                                        {named})
                             : fillText(uiText("kelvara::Sound",
                                               "指定された音色ファイル「%1」を読み込めないため、"
                                               "代わりに「%2」を使います。"),
                                        {named, soundFont}));
    } else if (soundFont.empty()) {
      post(
          "no soundfont",
          uiText("kelvara::Sound",
                 "内蔵シンセサイザーの音色ファイル (SoundFont) が見つからないため、音は鳴りません。"
                 "fluid-soundfont-gm を入れるか、--soundfont または環境変数 KELVARA_SOUNDFONT "
                 "で音色ファイルを指定してください。楽譜の編集はそのまま続けられます。"));
    }
  }

  // Makes the synthesizer, loads the soundfont and readies the channels.
  void prepareSynth() {
    settings.reset(new_fluid_settings());
    if (settings) {
      fluid_settings_t* s = settings.get();
      fluid_settings_setnum(s, "synth.sample-rate", options.sampleRate);
      fluid_settings_setint(s, "audio.period-size", options.periodSize);
      fluid_settings_setint(s, "audio.periods", options.periods);
      fluid_settings_setint(s, "synth.drums-channel.active", 1);
      fluid_settings_setint(s, "synth.dynamic-sample-loading", options.loadSamplesOnUse ? 1 : 0);
      fluid_settings_setint(s, "synth.cpu-cores", std::max(options.cpuCores, 1));
      synth.reset(new_fluid_synth(s));
    }
    if (!synth) {
      post("no synth",
           uiText("kelvara::Sound", "内蔵シンセサイザーを起動できないため、音は鳴りません。"));
      return;
    }
    loadFirstSoundFont();
    fluid_synth_set_channel_type(synth.get(), 9, CHANNEL_TYPE_DRUM);
    fluid_synth_program_reset(synth.get());
  }

  bool startAudio() {
    for (const std::string& name : options.audioDrivers) {
      fluid_settings_setstr(settings.get(), "audio.driver", name.c_str());
      driver.reset(new_fluid_audio_driver(settings.get(), synth.get()));
      if (driver) return true;
    }
    // The audio library's reason is in its own words and language: it goes
    // to the error output for whoever looks into it, not into the notice.
    if (const std::string reason = takeFluidError(); !reason.empty()) {
      std::fprintf(stderr, "kelvara: no audio output: %s\n", reason.c_str());
    }
    post("no audio", uiText("kelvara::Sound",
                            "音声出力装置を開けないため、内蔵シンセサイザーの音は鳴りません。"
                            "楽譜の編集はそのまま続けられます。"));
    return false;
  }

  // Opens for messages when something can sound.
  bool openNow() {
    if (!synth || soundFont.empty()) return false;
    if (options.realtime && !driver && !startAudio()) return false;
    open = true;
    return true;
  }

  // The background load: the soundfont, then the audio when an opening was
  // asked for, then the messages kept meanwhile.
  void loadInBackground() {
    prepareSynth();
    bool wanted = false;
    {
      std::lock_guard<std::mutex> lock(mutex);
      wanted = openWanted;
    }
    // Starting the audio may take a while: the window stays free meanwhile.
    const bool audioTried = wanted && options.realtime && synth && !soundFont.empty();
    if (audioTried) startAudio();
    std::lock_guard<std::mutex> lock(mutex);
    // A failed audio start is not tried again at once (it was told already).
    if (openWanted && (!audioTried || driver)) openNow();
    for (uint32_t message : kept) send(message);
    kept.clear();
    ready = true;
    readyChanged.notify_all();
  }

  void send(uint32_t message);
};

FluidSynthOutput::FluidSynthOutput(FluidSynthOptions options) : impl_(std::make_unique<Impl>()) {
  installFluidLog();
  impl_->options = std::move(options);
  if (impl_->options.loadInBackground) {
    impl_->ready = false;
    try {
      impl_->loader = std::thread([impl = impl_.get()] { impl->loadInBackground(); });
    } catch (const std::system_error&) {
      // No thread to be had (low memory): the load happens here instead.
      impl_->loadInBackground();
    }
  } else {
    impl_->prepareSynth();
  }
}

FluidSynthOutput::~FluidSynthOutput() {
  if (impl_->loader.joinable()) impl_->loader.join();
}

std::string FluidSynthOutput::midiOutGetDevCaps(int device) {
  if (device != 0) return {};
  impl_->waitUntilReady();
  const std::string& file = impl_->soundFont;
  const std::string name = file.empty()
                               ? uiText("kelvara::Sound", "内蔵シンセサイザー（音色なし）")
                               : fillText(uiText("kelvara::Sound", "内蔵シンセサイザー (%1)"),
                                          {std::filesystem::path(file).stem().string()});
  return cutDeviceName(name);
}

bool FluidSynthOutput::midiOutOpen(int device) {
  midiOutClose();
  if (device != 0) return false;
  if (!impl_->ready) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (!impl_->ready) {
      // Opened once the soundfont is in; what fails then is told as a notice.
      impl_->openWanted = true;
      return true;
    }
  }
  return impl_->synth && impl_->openNow();
}

void FluidSynthOutput::midiOutShortMsg(uint32_t message) {
  if (!impl_->ready) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (!impl_->ready) {
      const ShortMessage m = unpackShortMessage(message);
      if (!isNoteMessage(m) && impl_->kept.size() < kMaxKeptMessages) {
        impl_->kept.push_back(message);
      }
      return;
    }
  }
  impl_->send(message);
}

void FluidSynthOutput::Impl::send(uint32_t message) {
  if (!open) return;
  fluid_synth_t* synth = this->synth.get();
  const ShortMessage m = unpackShortMessage(message);
  const int ch = m.channel();
  switch (m.kind()) {
    case 0x80:
      fluid_synth_noteoff(synth, ch, m.data1);
      break;
    case 0x90:
      if (m.data2 == 0) {
        fluid_synth_noteoff(synth, ch, m.data1);
      } else {
        fluid_synth_noteon(synth, ch, m.data1, m.data2);
      }
      break;
    case 0xA0:
      fluid_synth_key_pressure(synth, ch, m.data1, m.data2);
      break;
    case 0xB0:
      fluid_synth_cc(synth, ch, m.data1, m.data2);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, ch, m.data1);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(synth, ch, m.data1);
      break;
    case 0xE0:
      fluid_synth_pitch_bend(synth, ch, m.data1 | (m.data2 << 7));
      break;
    default:
      break;  // system messages are not sent live
  }
}

void FluidSynthOutput::midiOutClose() {
  if (!impl_->ready) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (!impl_->ready) {
      impl_->openWanted = false;
      return;
    }
  }
  if (!impl_->open) return;
  fluid_synth_t* synth = impl_->synth.get();
  // Silence at once: a released cymbal or pad would ring on for seconds after
  // the switch, and a held pedal would keep notes past "all notes off".
  for (int ch = 0; ch < kChannels; ++ch) {
    fluid_synth_cc(synth, ch, kSustainPedal, 0);
    fluid_synth_cc(synth, ch, kSostenutoPedal, 0);
  }
  fluid_synth_all_sounds_off(synth, -1);
  impl_->open = false;
}

std::string FluidSynthOutput::takeNotice() {
  std::lock_guard<std::mutex> lock(impl_->noticeMutex);
  return impl_->notices.take();
}

bool FluidSynthOutput::preparing() const {
  return !impl_->ready;
}

const std::string& FluidSynthOutput::soundFont() const {
  impl_->waitUntilReady();
  return impl_->soundFont;
}

bool FluidSynthOutput::isOpen() const {
  impl_->waitUntilReady();
  return impl_->open;
}

bool FluidSynthOutput::audioRunning() const {
  impl_->waitUntilReady();
  return impl_->driver != nullptr;
}

const FluidSynthOptions& FluidSynthOutput::options() const {
  return impl_->options;
}

double FluidSynthOutput::latencyBoundMs() const {
  const FluidSynthOptions& o = impl_->options;
  return 1000.0 * o.periods * o.periodSize / o.sampleRate;
}

void FluidSynthOutput::render(float* left, float* right, int frames) {
  impl_->waitUntilReady();
  if (!impl_->synth || impl_->driver) {
    std::fill(left, left + frames, 0.0f);
    std::fill(right, right + frames, 0.0f);
    return;
  }
  fluid_synth_write_float(impl_->synth.get(), frames, left, 0, 1, right, 0, 1);
}

std::pair<int, int> FluidSynthOutput::channelPreset(int channel) const {
  impl_->waitUntilReady();
  int font = 0;
  int bank = -1;
  int program = -1;
  if (impl_->synth) fluid_synth_get_program(impl_->synth.get(), channel, &font, &bank, &program);
  return {bank, program};
}

}  // namespace kelvara
