// rangiertrubel-levels encode and decode.
#include "tools/levels/track_code_command.h"

#include <charconv>
#include <ostream>

#include "game/level_file.h"
#include "levels/track_code.h"
#include "platform/os/os.h"
#include "tools/levels/exit_status.h"
#include "tools/levels/level_file.h"

namespace rt::levels {

int encode_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string file;
  int speed = 1;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--speed" && i + 1 < args.size()) {
      const std::string& value = args[++i];
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), speed);
      if (ec != std::errc() || end != value.data() + value.size() || speed < 1 ||
          speed > kLevelCount) {
        err << "rangiertrubel-levels: --speed takes a level from 1 to 10, not \"" << value
            << "\"\n";
        return kUsageStatus;
      }
    } else if (file.empty() && !args[i].starts_with("--")) {
      file = args[i];
    } else {
      err << "usage: rangiertrubel-levels encode FILE [--speed N]\n";
      return kUsageStatus;
    }
  }
  if (file.empty()) {
    err << "usage: rangiertrubel-levels encode FILE [--speed N]\n";
    return kUsageStatus;
  }
  std::string bytes;
  if (!read_file(file, bytes, err)) return kFileStatus;
  const Level level = rt::read_level(bytes);
  const std::optional<std::string> code = encode_track(level, speed);
  if (!code) {
    const TrackFault fault = track_fault(level);
    err << file << ": cannot be coded: "
        << (fault != TrackFault::None ? track_fault_text(fault)
                                      : std::string("it holds a piece the editor lacks"))
        << "\n";
    return kFaultsStatus;
  }
  out << *code << "\n";
  return 0;
}

int decode_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 3 || args[1] != "--out") {
    err << "usage: rangiertrubel-levels decode CODE --out FILE\n";
    return kUsageStatus;
  }
  const DecodedTrack track = decode_track(args[0]);
  if (track.error != TrackCodeError::None) {
    err << "rangiertrubel-levels: " << track_code_error_text(track) << "\n";
    return kFaultsStatus;
  }
  const std::string reason = os::replace_file(args[2], level_file_text(track.level));
  if (!reason.empty()) {
    err << "rangiertrubel-levels: cannot write " << args[2] << ": " << reason << "\n";
    return kFileStatus;
  }
  out << args[2] << ": speed level " << track.speed_level << "\n";
  return 0;
}

}  // namespace rt::levels
