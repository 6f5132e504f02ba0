// The picture generator: the set of pictures, their sizes and how the track
// pieces join.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/formats/bmp.h"
#include "platform/formats/bmp_writer.h"
#include "tools/make_sprites/paint.h"
#include "tools/make_sprites/sprite_art.h"

namespace rt::make_sprites {
namespace {

class Sprites : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { pictures_ = new std::vector<Picture>(draw_sprites()); }
  static void TearDownTestSuite() {
    delete pictures_;
    pictures_ = nullptr;
  }
  static const Image& get(std::string_view name) {
    for (const Picture& p : *pictures_) {
      if (p.name == name) return p.image;
    }
    ADD_FAILURE() << "no picture " << name;
    static const Image kNone;
    return kNone;
  }
  static std::vector<Picture>* pictures_;
};
std::vector<Picture>* Sprites::pictures_ = nullptr;

int differing_pixels(const Image& a, const Image& b) {
  int n = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

bool all_black(const Image& img) {
  return std::all_of(img.pixels.begin(), img.pixels.end(),
                     [](Color c) { return (c & 0xFFFFFF) == 0; });
}

// --- The set of pictures ------------------------------------------------------

TEST_F(Sprites, EveryPictureTheGameLoadsHasItsNameAndSize) {
  ASSERT_EQ(pictures_->size(), 24u);
  std::set<std::string_view> names;
  for (std::size_t i = 0; i < pictures_->size(); ++i) {
    const Picture& p = (*pictures_)[i];
    const assets::PictureFile& want = assets::kPictures[i];
    EXPECT_EQ(p.name, want.name);
    EXPECT_EQ(p.image.width, want.width) << p.name;
    EXPECT_EQ(p.image.height, want.height) << p.name;
    EXPECT_EQ(p.image.pixels.size(), static_cast<std::size_t>(want.width * want.height));
    names.insert(p.name);
  }
  EXPECT_EQ(names.size(), 24u);
  for (const char* name : {"Gruen", "Schwarz", "Hbf", "Haus", "Baum1", "KX", "Minilock", "VLoesch",
                           "Explo1", "Explo2", "LockSenk4", "KurveURe"}) {
    EXPECT_TRUE(names.count(name)) << name;
  }
  EXPECT_EQ(get("KX").width, 100);
  EXPECT_EQ(get("KX").height, 40);
  EXPECT_EQ(get("Minilock").width, 20);
  EXPECT_EQ(get("VLoesch").height, 200);
}

TEST_F(Sprites, PaintingIsDeterministicAndOpaque) {
  const auto again = draw_sprites();
  for (std::size_t i = 0; i < again.size(); ++i) {
    EXPECT_EQ(again[i].image.pixels, (*pictures_)[i].image.pixels) << again[i].name;
    for (Color c : again[i].image.pixels) ASSERT_EQ(c >> 24, 0xFFu) << again[i].name;
  }
}

TEST_F(Sprites, EveryPictureSurvivesTheTwentyFourBitFileUnchanged) {
  for (const Picture& p : *pictures_) {
    const auto bytes = encode_bmp(p.image, 24);
    ASSERT_FALSE(bytes.empty()) << p.name;
    Image back(p.image.width, p.image.height, 0);
    ASSERT_EQ(decode_bmp(bytes, back), kBmpOk) << p.name;
    EXPECT_EQ(back.pixels, p.image.pixels) << p.name;
  }
}

TEST_F(Sprites, TheHoleAndThePointerEraserAreBlack) {
  EXPECT_TRUE(all_black(get("Schwarz")));
  EXPECT_TRUE(all_black(get("VLoesch")));
  // Everything else shows something.
  for (const Picture& p : *pictures_) {
    if (p.name != "Schwarz" && p.name != "VLoesch") {
      EXPECT_FALSE(all_black(p.image)) << p.name;
    }
  }
}

TEST_F(Sprites, LogoAndPointerStandOnTheBlackMenu) {
  for (const char* name : {"KX", "Minilock"}) {
    const Image& img = get(name);
    // The corners at the top are black, so the picture's edge does not show.
    EXPECT_EQ(img.at(0, 0) & 0xFFFFFF, 0u) << name;
    EXPECT_EQ(img.at(img.width - 1, 0) & 0xFFFFFF, 0u) << name;
    const auto lit = std::count_if(img.pixels.begin(), img.pixels.end(),
                                   [](Color c) { return (c & 0xFFFFFF) != 0; });
    EXPECT_GT(lit, static_cast<long>(img.pixels.size() / 5)) << name;
    EXPECT_LT(lit, static_cast<long>(img.pixels.size())) << name;
  }
}

// --- Track pieces line up -------------------------------------------------------

enum Side { kTop, kRight, kBottom, kLeft };

struct Piece {
  const char* name;
  std::set<Side> joins;
};
const std::vector<Piece> kPieces{{"SchieneWage", {kLeft, kRight}}, {"SchieneSenk", {kTop, kBottom}},
                                 {"KurveOLi", {kTop, kLeft}},      {"KurveORe", {kTop, kRight}},
                                 {"KurveULi", {kBottom, kLeft}},   {"KurveURe", {kBottom, kRight}}};

// The 40 pixels along one edge, from left to right or top to bottom.
std::vector<Color> edge(const Image& img, Side side) {
  std::vector<Color> out;
  for (int i = 0; i < 40; ++i) {
    if (side == kTop) out.push_back(img.at(i, 0));
    if (side == kBottom) out.push_back(img.at(i, 39));
    if (side == kLeft) out.push_back(img.at(0, i));
    if (side == kRight) out.push_back(img.at(39, i));
  }
  return out;
}

std::vector<int> rail_positions(const std::vector<Color>& pixels) {
  std::vector<int> out;
  for (int i = 0; i < static_cast<int>(pixels.size()); ++i) {
    if (is_rail_colour(pixels[static_cast<std::size_t>(i)])) out.push_back(i);
  }
  return out;
}

Side opposite(Side s) {
  return static_cast<Side>((s + 2) % 4);
}

TEST_F(Sprites, RailsCrossEveryJoiningEdgeAtTheSamePixels) {
  const std::vector<int> kRails{12, 13, 14, 25, 26, 27};
  for (const Piece& a : kPieces) {
    for (Side side : {kTop, kRight, kBottom, kLeft}) {
      const auto rails = rail_positions(edge(get(a.name), side));
      if (a.joins.count(side)) {
        EXPECT_EQ(rails, kRails) << a.name << " side " << side;
      } else {
        EXPECT_TRUE(rails.empty()) << a.name << " has a rail stub on side " << side;
      }
    }
  }
  // Across each joint, the rail pixels of the two pieces meet.
  for (const Piece& a : kPieces) {
    for (const Piece& b : kPieces) {
      for (Side side : a.joins) {
        if (!b.joins.count(opposite(side))) continue;
        EXPECT_EQ(rail_positions(edge(get(a.name), side)),
                  rail_positions(edge(get(b.name), opposite(side))))
            << a.name << " meets " << b.name;
      }
    }
  }
}

TEST_F(Sprites, PiecesJoiningOnTheSameSideHaveTheSameEdge) {
  // Whole edges, grass and gravel included: a straight piece can be swapped
  // for a curve without a seam.
  for (const Piece& a : kPieces) {
    for (const Piece& b : kPieces) {
      for (Side side : a.joins) {
        if (b.joins.count(side)) {
          EXPECT_EQ(edge(get(a.name), side), edge(get(b.name), side))
              << a.name << " and " << b.name << " on side " << side;
        }
      }
    }
  }
}

TEST_F(Sprites, CurvesAreQuarterTurnsOfOneAnother) {
  // The rails of a curve lie on the same circle around its corner, so the
  // rail pixels of one curve turned a quarter give the next curve's.
  auto rails_of = [](const Image& img) {
    Image mask(40, 40, 0);
    for (std::size_t i = 0; i < img.pixels.size(); ++i) {
      mask.pixels[i] = is_rail_colour(img.pixels[i]) ? 1 : 0;
    }
    return mask;
  };
  const Image top_left = rails_of(get("KurveOLi"));
  EXPECT_EQ(turn_clockwise(top_left).pixels, rails_of(get("KurveORe")).pixels);
  EXPECT_EQ(mirror(top_left).pixels, rails_of(get("KurveORe")).pixels);
  EXPECT_EQ(turn_counter_clockwise(top_left).pixels, rails_of(get("KurveULi")).pixels);
  EXPECT_EQ(turn_clockwise(turn_clockwise(top_left)).pixels, rails_of(get("KurveURe")).pixels);
}

// --- Locomotive and explosion -------------------------------------------------

TEST_F(Sprites, TheLocomotiveStandsOnTrackInItsDirection) {
  // The locomotive covers its whole cell; the track under it continues into
  // the neighbours exactly like a straight piece.
  const Image& across = get("SchieneWage");
  const Image& down = get("SchieneSenk");
  for (const char* name : {"LockWage1", "LockWage2", "LockWage3", "LockWage4"}) {
    EXPECT_EQ(edge(get(name), kLeft), edge(across, kLeft)) << name;
    EXPECT_EQ(edge(get(name), kRight), edge(across, kRight)) << name;
  }
  for (const char* name : {"LockSenk1", "LockSenk2", "LockSenk3", "LockSenk4"}) {
    EXPECT_EQ(edge(get(name), kTop), edge(down, kTop)) << name;
    EXPECT_EQ(edge(get(name), kBottom), edge(down, kBottom)) << name;
  }
}

TEST_F(Sprites, TheTwoFramesOfEachDirectionDifferVisibly) {
  const std::vector<std::pair<const char*, const char*>> kFrames{{"LockWage1", "LockWage2"},
                                                                 {"LockWage3", "LockWage4"},
                                                                 {"LockSenk1", "LockSenk2"},
                                                                 {"LockSenk3", "LockSenk4"}};
  for (auto [a, b] : kFrames) {
    const int n = differing_pixels(get(a), get(b));
    EXPECT_GT(n, 30) << a << "/" << b;
    EXPECT_LT(n, 400) << a << "/" << b << ": the same locomotive, not another picture";
  }
  EXPECT_GT(differing_pixels(get("Explo1"), get("Explo2")), 300);
}

TEST_F(Sprites, EachDirectionFacesTheWayItTravels) {
  // The right-facing picture mirrored is the left-facing one; turned a
  // quarter clockwise it heads down, counter-clockwise up. Compare the
  // locomotive itself: the pixels where it differs from the bare track.
  auto loco_only = [](const Image& pic, const Image& track) {
    Image out(40, 40, 0);
    for (std::size_t i = 0; i < pic.pixels.size(); ++i) {
      out.pixels[i] = pic.pixels[i] != track.pixels[i] ? pic.pixels[i] : 0;
    }
    return out;
  };
  const Image& across = get("SchieneWage");
  const Image& down = get("SchieneSenk");
  for (auto [right, left, south, north] :
       {std::tuple{"LockWage1", "LockWage3", "LockSenk1", "LockSenk3"},
        std::tuple{"LockWage2", "LockWage4", "LockSenk2", "LockSenk4"}}) {
    const Image heading_right = loco_only(get(right), across);
    const Image heading_left = loco_only(get(left), across);
    // Pixels where the locomotive happens to match the track are left out
    // of both sides, so compare where both pictures show the locomotive.
    int matched = 0;
    int compared = 0;
    const Image mirrored = mirror(heading_right);
    for (std::size_t i = 0; i < mirrored.pixels.size(); ++i) {
      if (mirrored.pixels[i] == 0 || heading_left.pixels[i] == 0) continue;
      ++compared;
      matched += mirrored.pixels[i] == heading_left.pixels[i];
    }
    EXPECT_GT(compared, 300) << left;
    EXPECT_EQ(matched, compared) << left;
    const Image turned = turn_clockwise(heading_right);
    const Image south_loco = loco_only(get(south), down);
    const Image north_loco = loco_only(get(north), down);
    const Image back = turn_counter_clockwise(heading_right);
    int south_ok = 0;
    int north_ok = 0;
    for (std::size_t i = 0; i < turned.pixels.size(); ++i) {
      south_ok += turned.pixels[i] != 0 && turned.pixels[i] == south_loco.pixels[i];
      north_ok += back.pixels[i] != 0 && back.pixels[i] == north_loco.pixels[i];
    }
    EXPECT_GT(south_ok, 300) << south;
    EXPECT_GT(north_ok, 300) << north;
  }
}

}  // namespace
}  // namespace rt::make_sprites
