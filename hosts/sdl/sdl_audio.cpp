// Sound output of the desktop host: one voice fed by SDL's audio callback.

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "hosts/sdl/sdl_host.h"
#include "platform/formats/wav.h"
#include "platform/os/bounded_read.h"

namespace rt {

namespace {

using Samples = std::vector<std::int16_t>;
using SharedSamples = std::shared_ptr<const Samples>;

// Reads a WAV file with the game's one WAV reader, as every host does, and
// converts it to the device's format (signed 16-bit, kChannels, kRate).
// nullptr when the file is missing, not a regular file, too big, or not a
// WAV the reader takes; all but a missing file are reported. `missing`
// tells a file that is not there, which may still appear, from one that is
// there and cannot be played.
SharedSamples load_wav(const std::string& path, bool& missing, std::string& problem) {
  const FileBytes file = read_bounded_file(path, kMaxSoundFileBytes);
  missing = file.status == FileBytes::Status::Missing;
  if (!file.ok()) {
    if (!missing) problem = file.reason();
    return nullptr;
  }
  const auto* first = reinterpret_cast<const std::uint8_t*>(file.bytes.data());
  const std::optional<WavSound> wav = decode_wav(std::span(first, file.bytes.size()));
  constexpr std::size_t kMaxBytes = static_cast<std::size_t>(INT_MAX);
  if (!wav || wav->samples.size() > kMaxBytes / sizeof(std::int16_t)) {
    problem = "ist kein lesbarer Klang";
    return nullptr;
  }
  const std::unique_ptr<SDL_AudioStream, decltype(&SDL_FreeAudioStream)> stream(
      SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(wav->channels), wav->sample_rate,
                         AUDIO_S16SYS, SdlAudio::kChannels, SdlAudio::kRate),
      &SDL_FreeAudioStream);
  if (!stream) return nullptr;
  const int length = static_cast<int>(wav->samples.size() * sizeof(std::int16_t));
  if (SDL_AudioStreamPut(stream.get(), wav->samples.data(), length) != 0 ||
      SDL_AudioStreamFlush(stream.get()) != 0) {
    return nullptr;
  }
  const int available = SDL_AudioStreamAvailable(stream.get());
  if (available < 0) return nullptr;
  auto samples = std::make_shared<Samples>(static_cast<std::size_t>(available) / 2);
  const int got = SDL_AudioStreamGet(stream.get(), samples->data(),
                                     static_cast<int>(samples->size() * sizeof(std::int16_t)));
  if (got < 0) return nullptr;
  samples->resize(static_cast<std::size_t>(got) / sizeof(std::int16_t));
  return samples;
}

}  // namespace

struct SdlAudio::Impl {
  bool subsystem = false;               // this object holds a reference on SDL's audio
  bool available = false;               // a device could be opened at the start
  std::chrono::milliseconds linger{0};  // how long a silent device stays open

  // The device, open only while sounds play and a little after; opened by
  // the game thread, closed by the main thread.
  mutable std::mutex device_mutex;
  SDL_AudioDeviceID device = 0;
  std::optional<std::chrono::steady_clock::time_point> silent_since;

  // Opens the device if it is closed; false when that fails.
  bool open_device() {
    std::lock_guard guard(device_mutex);
    silent_since.reset();
    if (device != 0) return true;
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    // 2048 frames: 46 ms a buffer, so that the sound's thread wakes about 22
    // times a second while a sound plays, at a delay the player does not
    // notice beside the 0.15 s poll of the keys.
    want.samples = 2048;
    want.callback = &Impl::fill;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware wants.
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device != 0) SDL_PauseAudioDevice(device, 0);
    return device != 0;
  }

  void close_device() {
    std::lock_guard guard(device_mutex);
    if (device != 0) SDL_CloseAudioDevice(device);
    device = 0;
  }

  // The voice, shared with the audio thread.
  mutable std::mutex voice_mutex;
  SharedSamples voice;
  std::size_t position = 0;  // next sample of `voice`

  // Loaded files by path; only the game thread plays sounds, but keep it safe.
  mutable std::mutex cache_mutex;
  std::map<std::string, SharedSamples> cache;
  std::set<std::string> failed;  // files that could not be played
  SharedSamples beep = std::make_shared<const Samples>(make_beep(kRate, kChannels));

  void start(SharedSamples sound) {
    if (!open_device()) return;
    std::lock_guard guard(voice_mutex);
    voice = std::move(sound);
    position = 0;
  }

  // Fills the device's buffer from the voice, silence after its end. The
  // voice's samples stay alive in the cache (or as the beep), so nothing is
  // freed on the audio thread.
  static void SDLCALL fill(void* user, Uint8* stream, int length) {
    auto& self = *static_cast<Impl*>(user);
    std::memset(stream, 0, static_cast<std::size_t>(length));
    std::lock_guard guard(self.voice_mutex);
    if (!self.voice) return;
    const std::size_t wanted = static_cast<std::size_t>(length) / sizeof(std::int16_t);
    const std::size_t left = self.voice->size() - self.position;
    const std::size_t count = std::min(wanted, left);
    std::memcpy(stream, self.voice->data() + self.position, count * sizeof(std::int16_t));
    self.position += count;
    if (self.position >= self.voice->size()) {
      self.voice.reset();
      self.position = 0;
    }
  }
};

SdlAudio::SdlAudio(std::chrono::milliseconds linger) : impl_(std::make_unique<Impl>()) {
  impl_->linger = linger;
  impl_->subsystem = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (!impl_->subsystem) return;
  // Opened now, so that the first sound comes without delay.
  impl_->available = impl_->open_device();
}

SdlAudio::~SdlAudio() {
  impl_->close_device();
  if (impl_->subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudio::is_open() const {
  return impl_->available;
}

void SdlAudio::close_when_silent() {
  if (frames_left() > 0) return;
  std::lock_guard guard(impl_->device_mutex);
  if (impl_->device == 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (!impl_->silent_since) {
    impl_->silent_since = now;
  } else if (now - *impl_->silent_since >= impl_->linger) {
    SDL_CloseAudioDevice(impl_->device);
    impl_->device = 0;
  }
}

void SdlAudio::play_file(const std::string& path, std::string* problem) {
  if (!is_open()) return;
  SharedSamples sound;
  {
    std::lock_guard guard(impl_->cache_mutex);
    if (impl_->failed.contains(path)) return;
    auto found = impl_->cache.find(path);
    if (found != impl_->cache.end()) sound = found->second;
  }
  if (!sound) {
    // A file that is there but failed is not read again: a huge or broken
    // file would otherwise hold up every play of it. A missing file may
    // still appear and play.
    bool missing = false;
    std::string why;
    sound = load_wav(path, missing, why);
    if (problem != nullptr) *problem = why;
    std::lock_guard guard(impl_->cache_mutex);
    if (!sound) {
      if (!missing) impl_->failed.insert(path);
      return;
    }
    impl_->cache.emplace(path, sound);
  }
  impl_->start(std::move(sound));
}

std::size_t SdlAudio::failed_files() const {
  std::lock_guard guard(impl_->cache_mutex);
  return impl_->failed.size();
}

void SdlAudio::play_beep() {
  if (is_open()) impl_->start(impl_->beep);
}

bool SdlAudio::device_open() const {
  std::lock_guard guard(impl_->device_mutex);
  return impl_->device != 0;
}

std::size_t SdlAudio::frames_left() const {
  std::lock_guard guard(impl_->voice_mutex);
  if (!impl_->voice) return 0;
  return (impl_->voice->size() - impl_->position) / kChannels;
}

std::size_t SdlAudio::cached_files() const {
  std::lock_guard guard(impl_->cache_mutex);
  return impl_->cache.size();
}

}  // namespace rt
