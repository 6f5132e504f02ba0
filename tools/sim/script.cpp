// Reading the runner's scripts: times, verbs and key names.
#include "tools/sim/script.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

#include "platform/keyboard.h"

namespace rt::sim {

namespace {

struct NamedKey {
  std::string_view name;
  ScriptKey key;
};

// Keys with a name of their own. Keys without a character put their extended
// code into the buffer.
constexpr std::array<NamedKey, 12> kNamedKeys = {{
    {"esc", {scan::kEscape, keycode::kEscape}},
    {"enter", {scan::kEnter, keycode::kEnter}},
    {"space", {scan::kSpace, keycode::kSpace}},
    {"backspace", {scan::kBackspace, keycode::kBackspace}},
    {"tab", {scan::kTab, keycode::kTab}},
    {"up", {scan::kUp, extended_code(scan::kUp)}},
    {"down", {scan::kDown, extended_code(scan::kDown)}},
    {"left", {scan::kLeft, extended_code(scan::kLeft)}},
    {"right", {scan::kRight, extended_code(scan::kRight)}},
    {"home", {scan::kHome, extended_code(scan::kHome)}},
    {"end", {scan::kEnd, extended_code(scan::kEnd)}},
    {"delete", {scan::kDelete, extended_code(scan::kDelete)}},
}};

// PC set-1 scan codes of the letters A..Z.
constexpr std::array<int, 26> kLetterScanCodes = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                                  36, 37, 38, 50, 49, 24, 25, 16, 19,
                                                  31, 20, 22, 47, 17, 45, 21, 44};

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// A plain decimal: digits, optionally a point followed by digits.
std::optional<double> parse_time(std::string_view s) {
  std::size_t i = 0;
  std::size_t digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    std::size_t fraction = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++fraction;
    if (fraction == 0) return std::nullopt;
  }
  if (digits == 0 || i != s.size()) return std::nullopt;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// A whole number from 0 to `below` - 1, digits only.
std::optional<int> parse_pixel(std::string_view s, int below) {
  int value = 0;
  if (s.empty() || s.size() > 4) return std::nullopt;
  for (const char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value >= below) return std::nullopt;
  return value;
}

// "X Y" for click, "X Y DIRECTION" for swipe.
std::optional<std::string> parse_position(std::string_view argument, Command& command) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < argument.size()) {
    while (i < argument.size() && is_blank(argument[i])) ++i;
    const std::size_t start = i;
    while (i < argument.size() && !is_blank(argument[i])) ++i;
    if (i > start) words.push_back(argument.substr(start, i - start));
  }
  const std::size_t wanted = command.verb == Verb::Swipe ? 3 : 2;
  if (words.size() != wanted) {
    return command.verb == Verb::Swipe ? std::string("want X Y and a direction")
                                       : std::string("want X Y");
  }
  const auto x = parse_pixel(words[0], 800);
  const auto y = parse_pixel(words[1], 600);
  if (!x || !y) {
    return "bad position \"" + std::string(words[0]) + " " + std::string(words[1]) + "\"";
  }
  command.x = *x;
  command.y = *y;
  if (command.verb == Verb::Swipe) {
    const auto key = key_by_name(words[2]);
    if (!key || (key->scan_code != scan::kUp && key->scan_code != scan::kDown &&
                 key->scan_code != scan::kLeft && key->scan_code != scan::kRight)) {
      return "bad direction \"" + std::string(words[2]) + "\"";
    }
    command.key = *key;
  }
  return std::nullopt;
}

std::optional<Verb> verb_by_name(std::string_view name) {
  if (name == "press") return Verb::Press;
  if (name == "release") return Verb::Release;
  if (name == "tap") return Verb::Tap;
  if (name == "click") return Verb::Click;
  if (name == "swipe") return Verb::Swipe;
  if (name == "type") return Verb::Type;
  if (name == "shot") return Verb::Shot;
  if (name == "state") return Verb::State;
  if (name == "blur") return Verb::Blur;
  if (name == "focus") return Verb::Focus;
  if (name == "close") return Verb::Close;
  if (name == "end") return Verb::End;
  return std::nullopt;
}

// Parses one non-blank, non-comment line; a message on failure.
std::optional<std::string> parse_line(std::string_view line, Command& command) {
  std::size_t start = 0;
  while (start < line.size() && is_blank(line[start])) ++start;
  std::size_t end = start;
  while (end < line.size() && !is_blank(line[end])) ++end;
  const auto time = parse_time(line.substr(start, end - start));
  if (!time) return "bad time \"" + std::string(line.substr(start, end - start)) + "\"";
  command.time = *time;

  start = end;
  while (start < line.size() && is_blank(line[start])) ++start;
  end = start;
  while (end < line.size() && !is_blank(line[end])) ++end;
  const std::string_view verb_name = line.substr(start, end - start);
  if (verb_name.empty()) return std::string("missing verb");
  const auto verb = verb_by_name(verb_name);
  if (!verb) return "unknown verb \"" + std::string(verb_name) + "\"";
  command.verb = *verb;

  // The text of `type` is everything after the one blank behind the verb.
  const std::string_view rest = line.substr(end);
  const std::string_view argument = trim(rest);
  switch (command.verb) {
    case Verb::Press:
    case Verb::Release:
    case Verb::Tap: {
      if (argument.empty()) return std::string("missing key");
      const auto key = key_by_name(argument);
      if (!key) return "unknown key \"" + std::string(argument) + "\"";
      command.key = *key;
      break;
    }
    case Verb::Click:
    case Verb::Swipe:
      if (auto message = parse_position(argument, command)) return message;
      break;
    case Verb::Type:
      if (rest.empty() || rest.front() != ' ') return std::string("missing text");
      command.text = std::string(rest.substr(1));
      break;
    case Verb::Shot:
      if (argument.empty()) return std::string("missing file name");
      command.text = std::string(argument);
      break;
    case Verb::State:
    case Verb::Blur:
    case Verb::Focus:
    case Verb::Close:
    case Verb::End:
      if (!argument.empty()) return "unexpected argument \"" + std::string(argument) + "\"";
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ScriptKey> key_by_name(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const NamedKey& named : kNamedKeys) {
    if (lower == named.name) return named.key;
  }
  if (lower.size() == 1) {
    const char c = lower[0];
    if (c >= 'a' && c <= 'z')
      return ScriptKey{kLetterScanCodes[static_cast<std::size_t>(c - 'a')], c};
    // Digits 1..9 sit on scan codes 2..10, 0 on 11.
    if (c >= '1' && c <= '9') return ScriptKey{c - '1' + 2, c};
    if (c == '0') return ScriptKey{11, c};
  }
  return std::nullopt;
}

ParsedScript parse_script(std::string_view text) {
  ParsedScript result;
  int line_number = 0;
  double last_time = 0.0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    ++line_number;
    const std::size_t newline = text.find('\n', pos);
    const std::size_t stop = newline == std::string_view::npos ? text.size() : newline;
    std::string_view line = text.substr(pos, stop - pos);
    pos = stop + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::string_view content = trim(line);
    if (content.empty() || content.front() == '#') continue;
    Command command;
    command.line = line_number;
    std::optional<std::string> message = parse_line(line, command);
    if (!message && command.time < last_time) message = "time goes backwards";
    if (message) {
      result.error = ParseError{line_number, *message};
      result.commands.clear();
      return result;
    }
    last_time = command.time;
    result.commands.push_back(std::move(command));
  }
  return result;
}

}  // namespace rt::sim
