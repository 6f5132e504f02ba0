#pragma once

// What the page's own events mean to the game: the pointer on the picture,
// the touch buttons and the text field that the on-screen keyboard types
// into. page.js hands them over as three numbers each; no browser is needed
// to use or test this.

#include <cstddef>
#include <span>

namespace rt {

class Platform;

// The kinds of the page's events, named here only: the host hands these
// numbers to page.js when the page starts. What the other two numbers hold.
namespace page_event {
inline constexpr int kDown = 1;           // the pointer went down at x, y (picture pixels)
inline constexpr int kMove = 2;           // it moved to x, y
inline constexpr int kUp = 3;             // it came up at x, y
inline constexpr int kButton = 4;         // a touch button: 0 Tempo, 1 Ton, 2 Aufgeben
inline constexpr int kCharacter = 5;      // the text field got a character (a Unicode code point)
inline constexpr int kCode = 6;           // the text field's Enter (13) or Backspace (8)
inline constexpr int kSecondaryDown = 7;  // the mouse's second button went down at x, y
inline constexpr int kKey = 8;            // a button of the editor: a key-buffer code
inline constexpr int kNumbers = 3;        // numbers per event
}  // namespace page_event

// Hands the events in `numbers` to the platform in their order. Events of
// an unknown kind, buttons without a number, characters the game's
// character set lacks and codes other than Enter and Backspace are skipped;
// a last, incomplete event too. Stops before a character or code while the
// key buffer is full, so that text arriving in one piece (a paste, a
// keyboard's suggestion) loses nothing; returns how many of the numbers it
// used, the rest to be handed over at the game's next turn.
std::size_t apply_page_events(Platform& platform, std::span<const int> numbers);

}  // namespace rt
