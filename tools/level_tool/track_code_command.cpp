// rangiertrubel-levels encode and decode.
#include "tools/level_tool/track_code_command.h"

#include <charconv>
#include <ostream>

#include "game/level_file.h"
#include "levels/track_code.h"
#include "levels/track_rating.h"
#include "levels/track_rules.h"
#include "platform/os/os.h"
#include "tools/level_tool/exit_status.h"
#include "tools/level_tool/read_file.h"

namespace rt::level_tool {

namespace {

// FILE [--speed N] of `command`; false, with the usage on `err`, when the
// arguments are wrong.
bool file_and_speed(const char* command, const std::vector<std::string>& args, std::string& file,
                    int& speed, std::ostream& err) {
  speed = 1;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--speed" && i + 1 < args.size()) {
      const std::string& value = args[++i];
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), speed);
      if (ec != std::errc() || end != value.data() + value.size() || speed < 1 ||
          speed > kLevelCount) {
        err << "rangiertrubel-levels: --speed takes a level from 1 to 10, not \"" << value
            << "\"\n";
        return false;
      }
    } else if (file.empty() && !args[i].starts_with("--")) {
      file = args[i];
    } else {
      file.clear();
      break;
    }
  }
  if (file.empty()) err << "usage: rangiertrubel-levels " << command << " FILE [--speed N]\n";
  return !file.empty();
}

}  // namespace

int encode_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string file;
  int speed = 1;
  if (!file_and_speed("encode", args, file, speed, err)) return kUsageStatus;
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

int rate_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string file;
  int speed = 1;
  if (!file_and_speed("rate", args, file, speed, err)) return kUsageStatus;
  std::string bytes;
  if (!read_file(file, bytes, err)) return kFileStatus;
  const Level level = rt::read_level(bytes);
  const TrackFault fault = track_fault(level);
  if (fault != TrackFault::None) {
    err << file << ": " << track_fault_text(fault) << "\n";
    return kFaultsStatus;
  }
  out << file << ", speed level " << speed << ": "
      << verdict_text(rate_track(level, interval_of_level(speed))) << "\n";
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

}  // namespace rt::level_tool
