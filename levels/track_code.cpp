// Coding a track as text and reading it back.
#include "levels/track_code.h"

#include <array>
#include <cstdint>
#include <vector>

namespace rt {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr int kVersion = 1;
constexpr int kCheckCharacters = 5;
constexpr int kCheckBits = 30;
constexpr int kSpeedBits = 4;

// The prefix code of the pieces, most frequent first; together the codes
// fill the whole code space, so every bit string reads as pieces.
struct PieceCode {
  TileCode code;
  std::uint32_t bits;
  int length;
};
constexpr std::array<PieceCode, 11> kPieceCodes{{
    {tile::kGruen, 0b0, 1},
    {tile::kSchieneWage, 0b100, 3},
    {tile::kBaum1, 0b101, 3},
    {tile::kSchieneSenk, 0b1100, 4},
    {tile::kHaus, 0b1101, 4},
    {tile::kKurveULi, 0b11100, 5},
    {tile::kKurveORe, 0b11101, 5},
    {tile::kKurveOLi, 0b111100, 6},
    {tile::kKurveURe, 0b111101, 6},
    {tile::kSchwarz, 0b111110, 6},
    {tile::kHbf, 0b111111, 6},
}};

int value_of(char c) {
  const std::size_t at = kAlphabet.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

std::uint32_t check_of(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash & ((std::uint32_t{1} << kCheckBits) - 1);
}

class BitWriter {
 public:
  void put(std::uint32_t bits, int length) {
    for (int i = length - 1; i >= 0; --i) bits_.push_back(((bits >> i) & 1u) != 0);
  }
  // The bits as characters, the last one filled up with zero bits.
  std::string text() const {
    std::string out;
    for (std::size_t at = 0; at < bits_.size(); at += 6) {
      int value = 0;
      for (std::size_t i = at; i < at + 6; ++i) value = value * 2 + (i < bits_.size() && bits_[i]);
      out += kAlphabet[static_cast<std::size_t>(value)];
    }
    return out;
  }

 private:
  std::vector<bool> bits_;
};

class BitReader {
 public:
  explicit BitReader(std::string_view text) : text_(text) {}
  // The next bit; none past the end.
  std::optional<int> bit() {
    const std::size_t character = at_ / 6;
    if (character >= text_.size()) return std::nullopt;
    const int value = value_of(text_[character]);
    const int shift = 5 - static_cast<int>(at_ % 6);
    ++at_;
    return (value >> shift) & 1;
  }
  std::optional<std::uint32_t> bits(int length) {
    std::uint32_t out = 0;
    for (int i = 0; i < length; ++i) {
      const std::optional<int> b = bit();
      if (!b) return std::nullopt;
      out = out * 2 + static_cast<std::uint32_t>(*b);
    }
    return out;
  }
  // True when only zero bits of the last character are left.
  bool only_padding_left() {
    if ((at_ + 5) / 6 != text_.size()) return false;
    while (at_ % 6 != 0) {
      if (bit().value_or(1) != 0) return false;
    }
    return true;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

const PieceCode* code_of_piece(TileCode code) {
  for (const PieceCode& piece : kPieceCodes) {
    if (piece.code == code) return &piece;
  }
  return nullptr;
}

std::optional<TileCode> read_piece(BitReader& reader) {
  std::uint32_t bits = 0;
  for (int length = 1; length <= 6; ++length) {
    const std::optional<int> b = reader.bit();
    if (!b) return std::nullopt;
    bits = bits * 2 + static_cast<std::uint32_t>(*b);
    for (const PieceCode& piece : kPieceCodes) {
      if (piece.length == length && piece.bits == bits) return piece.code;
    }
  }
  return std::nullopt;  // unreachable: the code space is full
}

DecodedTrack refused(TrackCodeError error) {
  DecodedTrack out;
  out.error = error;
  return out;
}

}  // namespace

std::optional<std::string> encode_track(const Level& level, int speed_level) {
  if (speed_level < 1 || speed_level > kLevelCount || track_fault(level) != TrackFault::None) {
    return std::nullopt;
  }
  BitWriter writer;
  writer.put(static_cast<std::uint32_t>(speed_level), kSpeedBits);
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      const PieceCode* piece = code_of_piece(level.board.get(x, y));
      if (piece == nullptr) return std::nullopt;
      writer.put(piece->bits, piece->length);
    }
  }
  std::string code(1, kAlphabet[kVersion]);
  code += writer.text();
  BitWriter check;
  check.put(check_of(code), kCheckBits);
  return code + check.text();
}

DecodedTrack decode_track(std::string_view code) {
  if (code.empty()) return refused(TrackCodeError::Empty);
  if (code.size() > kMaxTrackCodeLength) return refused(TrackCodeError::TooLong);
  for (const char c : code) {
    if (value_of(c) < 0) return refused(TrackCodeError::ForeignCharacter);
  }
  const int version = value_of(code.front());
  if (version > kVersion) return refused(TrackCodeError::NewerVersion);
  if (version != kVersion || code.size() < 1 + 1 + kCheckCharacters) {
    return refused(TrackCodeError::Damaged);
  }
  const std::string_view body = code.substr(0, code.size() - kCheckCharacters);
  BitReader check(code.substr(body.size()));
  if (check.bits(kCheckBits) != check_of(body)) return refused(TrackCodeError::Damaged);

  BitReader reader(body.substr(1));
  DecodedTrack out;
  const std::optional<std::uint32_t> speed = reader.bits(kSpeedBits);
  if (!speed || *speed < 1 || *speed > static_cast<std::uint32_t>(kLevelCount)) {
    return refused(TrackCodeError::Damaged);
  }
  out.speed_level = static_cast<int>(*speed);
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      const std::optional<TileCode> piece = read_piece(reader);
      if (!piece) return refused(TrackCodeError::Damaged);
      out.level.board.set(x, y, *piece);
      if (*piece == tile::kSchwarz) {
        out.level.cursor_x = x;
        out.level.cursor_y = y;
      }
    }
  }
  if (!reader.only_padding_left()) return refused(TrackCodeError::ExtraBits);
  out.fault = track_fault(out.level);
  if (out.fault != TrackFault::None) out.error = TrackCodeError::BadTrack;
  return out;
}

std::string track_code_error_text(const DecodedTrack& decoded) {
  switch (decoded.error) {
    case TrackCodeError::None:
      return "";
    case TrackCodeError::Empty:
      return "Der Streckencode ist leer.";
    case TrackCodeError::TooLong:
      return "Der Streckencode ist zu lang.";
    case TrackCodeError::ForeignCharacter:
      return "Der Streckencode enth\xC3\xA4lt Zeichen, die in keinem Streckencode vorkommen.";
    case TrackCodeError::NewerVersion:
      return "Der Streckencode stammt aus einer neueren Version des Spiels.";
    case TrackCodeError::Damaged:
      return "Der Streckencode ist besch\xC3\xA4"
             "digt oder unvollst\xC3\xA4ndig.";
    case TrackCodeError::ExtraBits:
      return "Der Streckencode hat \xC3\xBC"
             "berz\xC3\xA4hlige Zeichen.";
    case TrackCodeError::BadTrack:
      return "Die Strecke ist nicht spielbar: " + track_fault_text(decoded.fault);
  }
  return "";
}

}  // namespace rt
