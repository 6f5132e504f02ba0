// The desktop program's search for its data folders: the order of the places
// and what happens when none holds all three.
#include "app/data_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/sim_fixture.h"

namespace rt::testing {
namespace {

namespace fs = std::filesystem;

class DataFolders : public ::testing::Test {
 protected:
  // Gives `place` (below the test's folder) the named data folders.
  fs::path with(const std::string& place, const std::vector<std::string>& folders) {
    const fs::path at = dir.path() / place;
    fs::create_directories(at);
    for (const std::string& f : folders) fs::create_directories(at / f);
    return at;
  }
  // An installed tree: the program in prefix/bin, its data in
  // prefix/share/rangiertrubel; a working directory and an installed data
  // folder elsewhere, each empty until a test fills it.
  DataSearch search() {
    return DataSearch{with("cwd", {}), dir.path() / "prefix" / "bin" / "rangiertrubel",
                      "../share/rangiertrubel", with("usr/share/rangiertrubel", {})};
  }
  const std::vector<std::string> all{"Data", "Sprites", "Waves"};
  TempDir dir;
};

TEST_F(DataFolders, TheCandidatesComeInTheirOrderWithTheRelativeFolderResolved) {
  const DataSearch s = search();
  const std::vector<fs::path> want{s.working_dir, dir.path() / "prefix" / "bin",
                                   dir.path() / "prefix" / "share" / "rangiertrubel",
                                   s.installed_data};
  EXPECT_EQ(data_candidates(s), want);
  // Without a known program only the working directory and the installed
  // folder remain; without an installed folder only the first three.
  DataSearch unknown = s;
  unknown.program.clear();
  EXPECT_EQ(data_candidates(unknown), (std::vector<fs::path>{s.working_dir, s.installed_data}));
  DataSearch uninstalled = s;
  uninstalled.data_from_program.clear();
  uninstalled.installed_data.clear();
  EXPECT_EQ(data_candidates(uninstalled).size(), 2u);
}

TEST_F(DataFolders, TheFirstPlaceWithAllThreeFoldersWins) {
  DataSearch s = search();
  with("usr/share/rangiertrubel", all);
  EXPECT_EQ(find_data_root(s).root, s.installed_data);
  with("prefix/share/rangiertrubel", all);
  EXPECT_EQ(find_data_root(s).root, dir.path() / "prefix" / "share" / "rangiertrubel");
  with("prefix/bin", all);
  EXPECT_EQ(find_data_root(s).root, dir.path() / "prefix" / "bin");
  // Two of three in the working directory do not beat a complete place
  // further down; all three do.
  with("cwd", {"Data", "Sprites"});
  EXPECT_EQ(find_data_root(s).root, dir.path() / "prefix" / "bin");
  with("cwd", all);
  const DataRoot found = find_data_root(s);
  EXPECT_EQ(found.root, s.working_dir);
  EXPECT_TRUE(found.missing.empty());
}

TEST_F(DataFolders, WithoutACompletePlaceTheFullestIsUsedAndItsGapsNamed) {
  DataSearch s = search();
  // Nothing anywhere: the working directory, all three missing.
  DataRoot found = find_data_root(s);
  EXPECT_EQ(found.root, s.working_dir);
  EXPECT_EQ(found.missing, all);
  // A tie goes to the earlier place.
  with("prefix/share/rangiertrubel", {"Sprites"});
  with("usr/share/rangiertrubel", {"Waves"});
  found = find_data_root(s);
  EXPECT_EQ(found.root, dir.path() / "prefix" / "share" / "rangiertrubel");
  EXPECT_EQ(found.missing, (std::vector<std::string>{"Data", "Waves"}));
  // More folders beat an earlier place.
  with("usr/share/rangiertrubel", {"Data", "Waves"});
  found = find_data_root(s);
  EXPECT_EQ(found.root, s.installed_data);
  EXPECT_EQ(found.missing, std::vector<std::string>{"Sprites"});
  // A file by a folder's name is no folder.
  std::ofstream(dir.path() / "usr/share/rangiertrubel/Sprites") << "x";
  EXPECT_EQ(find_data_root(s).missing, std::vector<std::string>{"Sprites"});
}

TEST_F(DataFolders, TheRunningProgramFindsTheBuildsDataBesideItselfAndSaysNothing) {
  // This test program lies in the build's bin/, beside the data folders,
  // and runs in a folder without them.
  std::ostringstream err;
  const fs::path root = choose_data_root(err);
  EXPECT_EQ(err.str(), "");
  EXPECT_TRUE(fs::is_directory(root / "Sprites")) << root;
}

}  // namespace
}  // namespace rt::testing
