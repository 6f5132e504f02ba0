// The page's pointer, touch buttons and text field as the platform gets them.
#include "hosts/web/page_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/sim_fixture.h"

namespace rt::testing {
namespace {

class PageInputTest : public SimFixture {
 protected:
  std::vector<std::string> keys() {
    std::vector<std::string> out;
    for (std::string key = platform.inkey(); !key.empty(); key = platform.inkey()) {
      out.push_back(key);
    }
    return out;
  }
};

TEST_F(PageInputTest, TapsButtonsAndTypingArriveInOrderAndOddEventsAreSkipped) {
  platform.set_pointer_screen(screen_of_kind(PointerScreen::Kind::AnyKey));
  using namespace page_event;
  apply_page_events(platform, std::vector<int>{kDown, 10, 10, kMove, 11, 10, kUp, 11, 10});
  // The next key waits for the screen to be described again.
  platform.set_pointer_screen(screen_of_kind(PointerScreen::Kind::AnyKey));
  apply_page_events(platform, std::vector<int>{kButton, 0, 0, kButton, 7, 0, 99, 1, 1});
  EXPECT_EQ(keys(), (std::vector<std::string>{"\r", "\r"}));

  platform.set_pointer_screen(screen_of_kind(PointerScreen::Kind::TextEntry));
  apply_page_events(
      platform, std::vector<int>{kCharacter, 'J', 0, kCharacter, 0xF6, 0,  kCharacter, 0x1F600, 0,
                                 kCharacter, -5,  0, kCharacter, 7,    0,  kCode,      8,       0,
                                 kCode,      65,  0, kDown,      10,   10, kUp,        10,      10,
                                 kCode,      13,  0, kCode,      13});
  EXPECT_EQ(keys(), (std::vector<std::string>{"J", "\x94", "\b", "\r"}));
}

TEST_F(PageInputTest, ANameThatArrivesInOnePieceLosesNothing) {
  // Seventeen letters at once, as a paste or a keyboard's suggestion brings
  // them: the key buffer takes fifteen, the rest waits for the next turn.
  platform.set_pointer_screen(screen_of_kind(PointerScreen::Kind::TextEntry));
  using namespace page_event;
  std::vector<int> numbers;
  for (char c = 'A'; c <= 'Q'; ++c) numbers.insert(numbers.end(), {kCharacter, c, 0});
  const std::size_t used = apply_page_events(platform, numbers);
  EXPECT_EQ(used, 15u * kNumbers);
  std::string typed;
  for (const std::string& k : keys()) typed += k;
  apply_page_events(platform, std::span<const int>(numbers).subspan(used));
  for (const std::string& k : keys()) typed += k;
  EXPECT_EQ(typed, "ABCDEFGHIJKLMNOPQ");
}

}  // namespace
}  // namespace rt::testing
