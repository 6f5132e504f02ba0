// The game's pictures and sounds, each named once: the file name and, for a
// picture, its size and its place in Sprites. The game loads from this table,
// the generators make their files from it and the tests check against it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "game/rules.h"
#include "game/sprites.h"

namespace rt::assets {

struct PictureFile {
  std::string_view name;  // file stem in Sprites, e.g. "SchieneWage"
  int width;              // the size the game creates the picture with
  int height;
  Image Sprites::*image;  // where the game keeps it
};

inline constexpr std::array<PictureFile, 24> kPictures{{
    {"SchieneWage", 40, 40, &Sprites::SchieneWage},
    {"SchieneSenk", 40, 40, &Sprites::SchieneSenk},
    {"KurveOLi", 40, 40, &Sprites::KurveOLi},
    {"KurveORe", 40, 40, &Sprites::KurveORe},
    {"KurveULi", 40, 40, &Sprites::KurveULi},
    {"KurveURe", 40, 40, &Sprites::KurveURe},
    {"Schwarz", 40, 40, &Sprites::Schwarz},
    {"Hbf", 40, 40, &Sprites::Hbf},
    {"LockWage1", 40, 40, &Sprites::LockWage1},
    {"LockWage2", 40, 40, &Sprites::LockWage2},
    {"LockWage3", 40, 40, &Sprites::LockWage3},
    {"LockWage4", 40, 40, &Sprites::LockWage4},
    {"LockSenk1", 40, 40, &Sprites::LockSenk1},
    {"LockSenk2", 40, 40, &Sprites::LockSenk2},
    {"LockSenk3", 40, 40, &Sprites::LockSenk3},
    {"LockSenk4", 40, 40, &Sprites::LockSenk4},
    {"Haus", 40, 40, &Sprites::Haus},
    {"Baum1", 40, 40, &Sprites::Baum1},
    {"Gruen", 40, 40, &Sprites::Gruen},
    {"Explo1", 40, 40, &Sprites::Explo1},
    {"Explo2", 40, 40, &Sprites::Explo2},
    {"KX", 100, 40, &Sprites::KX},
    {"Minilock", 20, 20, &Sprites::Minilock},
    {"VLoesch", 20, 200, &Sprites::VLoesch},
}};

// The window's icon, beside the pictures in Sprites: the desktop icon's
// picture at this size, which the desktop host shows for the window. The
// game itself never draws it.
struct IconFile {
  std::string_view name;
  int size;  // pixels square
};
inline constexpr IconFile kWindowIcon{"Symbol", 64};

// The picture of each code that has one, in the order of kPictureCodes.
struct TilePicture {
  TileCode code;
  Image Sprites::*image;
};
inline constexpr std::array<TilePicture, kPictureCodes.size()> kTilePictures{{
    {tile::kSchwarz, &Sprites::Schwarz},
    {tile::kGruen, &Sprites::Gruen},
    {tile::kSchieneWage, &Sprites::SchieneWage},
    {tile::kSchieneSenk, &Sprites::SchieneSenk},
    {tile::kKurveOLi, &Sprites::KurveOLi},
    {tile::kKurveORe, &Sprites::KurveORe},
    {tile::kKurveULi, &Sprites::KurveULi},
    {tile::kKurveURe, &Sprites::KurveURe},
    {tile::kBaum1, &Sprites::Baum1},
    {tile::kHaus, &Sprites::Haus},
    {tile::kHbf, &Sprites::Hbf},
}};
static_assert(
    [] {
      for (std::size_t i = 0; i < kTilePictures.size(); ++i) {
        if (kTilePictures[i].code != kPictureCodes[i]) return false;
      }
      return true;
    }(),
    "every code of kPictureCodes has its picture, in the same order");

// The four sound effects, in the order of kSounds.
enum class SoundId { Ping, Explosion, Ding, Next };

// File stems in Waves: the blip of a sliding piece, the explosion of a lost
// locomotive, the bell of the speed bonus, the whistle that opens a level.
inline constexpr std::array<std::string_view, 4> kSounds{"ping", "Explosion", "ding", "next"};

constexpr std::string_view sound_name(SoundId id) {
  return kSounds[static_cast<std::size_t>(id)];
}

inline constexpr std::string_view kPictureExtension = ".bmp";
inline constexpr std::string_view kSoundExtension = ".wav";

// A sound's file name, as the simulated host reports a played sound.
inline std::string sound_file(SoundId id) {
  return std::string(sound_name(id)) + std::string(kSoundExtension);
}

// The game paths the game opens them by.
inline std::string picture_path(std::string_view name) {
  return "Sprites\\" + std::string(name) + std::string(kPictureExtension);
}
inline std::string sound_path(SoundId id) {
  return "Waves\\" + sound_file(id);
}

}  // namespace rt::assets
