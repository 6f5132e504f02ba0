// The runner's script reader on arbitrary text: a script is either a list
// of commands in time order or one error at a real line, never both.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/keyboard.h"
#include "tests/fuzz/fuzz_support.h"
#include "tools/sim/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using rt::fuzz::check;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const rt::sim::ParsedScript script = rt::sim::parse_script(text);

  std::size_t lines = 1;
  for (const char c : text) lines += (c == '\n') ? 1 : 0;

  if (script.error) {
    check(script.commands.empty(), "a malformed script runs nothing");
    check(script.error->line >= 1 && static_cast<std::size_t>(script.error->line) <= lines,
          "the error names a line of the script");
    check(!script.error->message.empty(), "the error says what is wrong");
    return 0;
  }
  double last_time = 0.0;
  int last_line = 0;
  for (const rt::sim::Command& c : script.commands) {
    check(c.time >= last_time, "times never decrease");
    check(c.line > last_line && static_cast<std::size_t>(c.line) <= lines,
          "commands come from successive lines of the script");
    last_time = c.time;
    last_line = c.line;
    if (c.verb == rt::sim::Verb::Press || c.verb == rt::sim::Verb::Release ||
        c.verb == rt::sim::Verb::Tap) {
      check(c.key.scan_code >= 1 && c.key.scan_code <= 127, "a key has a scan code");
      check(rt::is_key_code(c.key.code), "a key has a buffer code");
    }
    if (c.verb == rt::sim::Verb::Shot) check(!c.text.empty(), "a shot names its file");
  }
  return 0;
}
