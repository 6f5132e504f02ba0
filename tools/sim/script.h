// The runner's script: one command per line at a virtual time.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rt::sim {

// A key as the script names it: the scan code it holds while down and the
// code it puts into the key buffer.
struct ScriptKey {
  int scan_code = 0;
  int code = 0;
};

// Esc, Enter, Space, Up, Down, Left, Right, Backspace, Tab, Delete, Home,
// End, A..Z and 0..9, in any case; nothing for any other name.
std::optional<ScriptKey> key_by_name(std::string_view name);

enum class Verb {
  Press,
  Release,
  Tap,
  Click,  // a tap of the pointer at a pixel of the picture
  Swipe,  // the pointer drawn from a pixel in a direction
  Type,
  Shot,
  State,
  Blur,
  Focus,
  Close,
  End
};

// One script line: at `time` (virtual seconds since program start) do `verb`.
struct Command {
  double time = 0.0;
  Verb verb = Verb::State;
  ScriptKey key;  // press, release, tap; swipe: the arrow of its direction
  int x = 0;      // click, swipe: the pixel, 0..799 and 0..599
  int y = 0;
  std::string text;  // type: the UTF-8 text; shot: the file name
  int line = 0;      // line number in the script, from 1
};

struct ParseError {
  int line = 0;
  std::string message;
};

struct ParsedScript {
  std::vector<Command> commands;
  std::optional<ParseError> error;  // the first malformed line
};

// Reads a whole script: one command per line, `TIME VERB [ARGUMENT]`; blank
// lines and lines starting with # are skipped. Times are plain decimals
// (digits, optionally a point and more digits) that never decrease.
ParsedScript parse_script(std::string_view text);

}  // namespace rt::sim
