// The scripted runner: a script's commands scheduled on the simulated host,
// the whole program run, its states and sounds written as JSON lines.
#include "tools/sim/runner.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

#include "app/program.h"
#include "app/sim_run.h"
#include "hosts/sim/sim_host.h"
#include "levels/track_code.h"
#include "levels/track_raters.h"
#include "platform/formats/bmp_writer.h"
#include "platform/formats/cp437.h"
#include "platform/keyboard.h"
#include "platform/os/bounded_read.h"
#include "platform/platform.h"

namespace rt::sim {

namespace {

// Seconds between two codes of `type`, and from a tap's press to its release.
constexpr double kTypingPeriod = 0.05;
constexpr double kTapLength = 0.05;
// The highest --level: far beyond where the speed stops changing.
constexpr int kLastLevel = 1000;
// How far a swipe draws the pointer, in picture pixels.
constexpr int kSwipeLength = 60;

std::string time_field(double t) {
  return "{\"t\": " + format_time(t);
}

// The screen as it is shown, as a BMP file.
bool write_shot(Platform& platform, const std::string& file) {
  Image picture(Screen::kWidth, Screen::kHeight, 0);
  {
    std::lock_guard<std::recursive_mutex> guard(platform.lock());
    for (int y = 0; y < Screen::kHeight; ++y) {
      const Color* row = platform.screen().row(y);
      std::copy(row, row + Screen::kWidth,
                picture.pixels.begin() + static_cast<std::ptrdiff_t>(y) * Screen::kWidth);
    }
  }
  const std::vector<std::uint8_t> bytes = encode_bmp(picture, 32);
  return !bytes.empty() && write_file(file, bytes);
}

void schedule(SimHost& host, Platform& platform, const Program& program, const Command& command,
              std::ostream& out, std::ostream& err) {
  const double t = command.time;
  switch (command.verb) {
    case Verb::Press:
      host.press(t, command.key.scan_code, command.key.code);
      break;
    case Verb::Release:
      host.release(t, command.key.scan_code);
      break;
    case Verb::Tap:
      host.press(t, command.key.scan_code, command.key.code);
      host.release(t + kTapLength, command.key.scan_code);
      break;
    case Verb::Click:
      host.at(t, [&platform, x = command.x, y = command.y] { platform.host_pointer_down(x, y); });
      host.at(t + kTapLength,
              [&platform, x = command.x, y = command.y] { platform.host_pointer_up(x, y); });
      break;
    case Verb::Swipe: {
      const int scan_code = command.key.scan_code;
      const int dx = scan_code == scan::kLeft ? -1 : scan_code == scan::kRight ? 1 : 0;
      const int dy = scan_code == scan::kUp ? -1 : scan_code == scan::kDown ? 1 : 0;
      const int x = command.x;
      const int y = command.y;
      host.at(t, [&platform, x, y] { platform.host_pointer_down(x, y); });
      host.at(t + kTapLength / 2, [&platform, x, y, dx, dy] {
        platform.host_pointer_move(x + dx * kSwipeLength / 2, y + dy * kSwipeLength / 2);
      });
      host.at(t + kTapLength, [&platform, x, y, dx, dy] {
        platform.host_pointer_up(x + dx * kSwipeLength, y + dy * kSwipeLength);
      });
      break;
    }
    case Verb::Type: {
      const std::string codes = utf8_to_cp437(command.text);
      for (std::size_t i = 0; i < codes.size(); ++i) {
        host.type_code(t + kTypingPeriod * static_cast<double>(i),
                       static_cast<unsigned char>(codes[i]));
      }
      break;
    }
    case Verb::Shot:
      host.at(t, [&platform, &err, file = command.text, line = command.line] {
        if (!write_shot(platform, file)) {
          err << "line " << line << ": cannot write " << file << '\n';
        }
      });
      break;
    case Verb::State:
      host.at(t, [&host, &program, &out] { out << state_json(host.now(), program) << '\n'; });
      break;
    case Verb::Blur:
      host.blur(t);
      break;
    case Verb::Focus:
      host.focus(t);
      break;
    case Verb::Close:
      host.close_request(t);
      break;
    case Verb::End:
      host.at(t, [&host] { throw SimStop{host.now()}; });
      break;
  }
}

std::optional<double> parse_seconds(const std::string& text) {
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !(value >= 0.0)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::string format_time(double seconds) {
  char buffer[64];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed, 6);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0.000000");
}

std::string format_double(double value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::string json_string_from_cp437(const std::string& bytes) {
  const std::string utf8 = cp437_to_utf8(bytes);
  std::string out = "\"";
  for (const char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"') {
      out += "\\\"";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (u < 0x20 || u == 0x7F) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string state_json(double t, const Program& program) {
  const Game& g = program.game;
  std::ostringstream s;
  s << time_field(t) << ", \"GameState\": " << g.GameState << ", \"level\": " << g.level
    << ", \"lives\": " << g.lives << ", \"score\": " << g.score << ", \"sound_on\": " << g.sound_on
    << ", \"step_interval\": " << format_double(static_cast<double>(g.step_interval))
    << ", \"loco_x\": " << g.loco_x << ", \"loco_y\": " << g.loco_y
    << ", \"loco_heading\": " << g.loco_heading << ", \"loco_frame\": " << g.loco_frame
    << ", \"cursor_x\": " << g.cursor_x << ", \"cursor_y\": " << g.cursor_y << ", \"board\": [";
  for (int y = 1; y <= kRows; ++y) {
    s << (y > 1 ? ", [" : "[");
    for (int x = 1; x <= kColumns; ++x) {
      s << (x > 1 ? ", " : "") << g.board.get(x, y);
    }
    s << ']';
  }
  s << "], \"high_scores\": [";
  bool first = true;
  for (const HighScoreEntry& entry : program.frontend.high_scores) {
    s << (first ? "" : ", ") << "{\"name\": " << json_string_from_cp437(entry.name)
      << ", \"points\": " << entry.points << '}';
    first = false;
  }
  s << ']';
  // The editor's track, while the editor runs.
  if (const TrackEditor* editor = program.editor()) {
    const std::optional<std::string> code =
        encode_track(editor->track().level(), editor->track().speed_level());
    s << ", \"editor\": {\"verdict\": "
      << json_string_from_cp437(utf8_to_cp437(editor->verdict_line()))
      << ", \"current\": " << (editor->verdict_current() ? "true" : "false")
      << ", \"code\": " << json_string_from_cp437(code.value_or("")) << '}';
  }
  s << '}';
  return s.str();
}

int run_script(const std::vector<Command>& commands, const RunOptions& options, std::ostream& out,
               std::ostream& err) {
  SimHost host;
  host.set_time_limit(options.until);
  Platform platform(host, options.dir);
  Program program(platform);
  program.game.first_level = options.first_level;
  // The verdicts on the runner's one thread, so that a run is the same
  // every time.
  program.set_track_rater(std::make_unique<InlineTrackRater>());
  host.on_report = [&err](const std::string& line) { err << line << '\n'; };
  host.on_sound = [&out](const SimHost::Sound& sound) {
    out << time_field(sound.time) << ", \"sound\": " << json_string_from_cp437(sound.name) << "}\n";
  };
  for (const Command& command : commands) {
    schedule(host, platform, program, command, out, err);
  }

  const SimEnd end = options.edit ? run_until_end(host, [&program] { program.edit({}, {}); })
                                  : run_on_sim(host, program);
  int status = end.status;
  if (end.how == SimEnd::How::Stopped) {
    status = kStoppedStatus;
    out << time_field(end.time) << ", \"stopped\": true}\n";
  } else {
    out << time_field(end.time) << ", \"exit\": " << status << "}\n";
  }
  out.flush();
  if (!out) {
    err << "rangiertrubel-sim: cannot write the output\n";
    return kOutputStatus;
  }
  return status;
}

int runner_main(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                std::ostream& err) {
  static constexpr const char* kUsage =
      "usage: rangiertrubel-sim [--dir DIR] [--until SECONDS] [--level N] [--edit] SCRIPT...\n"
      "       rangiertrubel-sim --help | --version\n"
      "  --level N  every game starts on level N (from 1), at the speed it has\n"
      "             when the levels before it are won\n"
      "  --edit     run the track editor instead of the game\n"
      "Several scripts run one after another; the exit status is the last one's.\n";
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "--version")) {
    out << (args[0] == "--help" ? kUsage : "rangiertrubel-sim " RT_VERSION "\n");
    out.flush();
    if (!out) {
      err << "rangiertrubel-sim: cannot write the output\n";
      return kOutputStatus;
    }
    return 0;
  }
  RunOptions options;
  std::vector<std::string> script_names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--level" && i + 1 < args.size()) {
      const std::string& value = args[++i];
      int level = 0;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), level);
      if (ec != std::errc() || end != value.data() + value.size() || level < 1 ||
          level > kLastLevel) {
        err << "rangiertrubel-sim: bad --level value \"" << value << "\"\n" << kUsage;
        return kUsageStatus;
      }
      options.first_level = level;
    } else if (arg == "--edit") {
      options.edit = true;
    } else if ((arg == "--dir" || arg == "--until") && i + 1 < args.size()) {
      const std::string& value = args[++i];
      if (arg == "--dir") {
        options.dir = value;
      } else if (const auto seconds = parse_seconds(value)) {
        options.until = *seconds;
      } else {
        err << "rangiertrubel-sim: bad --until value \"" << value << "\"\n" << kUsage;
        return kUsageStatus;
      }
    } else if (arg != "-" && arg.starts_with("-")) {
      err << "rangiertrubel-sim: unknown option \"" << arg << "\"\n" << kUsage;
      return kUsageStatus;
    } else if (arg == "-" && std::ranges::count(script_names, arg) > 0) {
      err << "rangiertrubel-sim: standard input named twice\n" << kUsage;
      return kUsageStatus;
    } else {
      script_names.push_back(arg);
    }
  }
  if (script_names.empty()) {
    err << kUsage;
    return kUsageStatus;
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(options.dir, ec)) {
    err << "rangiertrubel-sim: --dir " << options.dir.string() << " is not a folder\n";
    return kUsageStatus;
  }

  // Every script is read first, so that a bad one stops the run before
  // anything has run.
  std::vector<std::vector<Command>> scripts;
  for (const std::string& name : script_names) {
    std::string text;
    if (name == "-") {
      text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
      FileBytes file = read_bounded_file(name, kMaxScriptBytes);
      if (!file.ok()) {
        err << "rangiertrubel-sim: " << name << ' ' << file.reason() << '\n';
        return kUsageStatus;
      }
      text = std::move(file.bytes);
    }
    ParsedScript script = parse_script(text);
    if (script.error) {
      err << name << ':' << script.error->line << ": " << script.error->message << '\n';
      return kUsageStatus;
    }
    scripts.push_back(std::move(script.commands));
  }
  // Several scripts run one after another, as separate runs of the program
  // would, in one process: a replay is short, and starting a process for each
  // took about as long as the replay itself.
  int status = kUsageStatus;
  for (const std::vector<Command>& commands : scripts) {
    status = run_script(commands, options, out, err);
    if (status == kOutputStatus) break;
  }
  return status;
}

}  // namespace rt::sim
