// make_sounds OUTDIR: writes the game's four sounds as 16-bit mono WAV files
// into OUTDIR (created if missing).
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "platform/formats/bmp_writer.h"
#include "platform/formats/wav.h"
#include "tools/make_sounds/sound_art.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_sounds OUTDIR\n";
    return 2;
  }
  const std::filesystem::path out_dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(out_dir, ec);
  if (ec) {
    std::cerr << "make_sounds: cannot create " << out_dir << ": " << ec.message() << "\n";
    return 1;
  }
  for (const auto& sound : rt::make_sounds::synthesize_sounds()) {
    const auto path = out_dir / (std::string(sound.name) + ".wav");
    if (!rt::write_file(path, rt::encode_wav(sound.samples, rt::make_sounds::kSampleRate))) {
      std::cerr << "make_sounds: cannot write " << path << "\n";
      return 1;
    }
  }
  return 0;
}
