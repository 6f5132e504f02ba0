// The data-folder lookup of the desktop program.
#include "app/data_folders.h"

#include <array>
#include <optional>
#include <system_error>

#include "platform/os/os.h"

namespace rt {

namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 3> kDataFolders = {"Data", "Sprites", "Waves"};

// Set by the build from the install rules; empty in a build that is not
// installed anywhere.
#ifndef RT_DATA_FROM_BIN
#define RT_DATA_FROM_BIN ""
#endif
#ifndef RT_INSTALLED_DATA_DIR
#define RT_INSTALLED_DATA_DIR ""
#endif

std::vector<std::string> missing_in(const fs::path& folder) {
  std::vector<std::string> missing;
  for (const char* name : kDataFolders) {
    std::error_code ec;
    if (!fs::is_directory(folder / name, ec)) missing.emplace_back(name);
  }
  return missing;
}

}  // namespace

std::vector<fs::path> data_candidates(const DataSearch& search) {
  std::vector<fs::path> out{search.working_dir};
  if (search.program.has_parent_path()) {
    const fs::path own = search.program.parent_path();
    out.push_back(own);
    if (!search.data_from_program.empty()) {
      out.push_back((own / search.data_from_program).lexically_normal());
    }
  }
  if (!search.installed_data.empty()) out.push_back(search.installed_data);
  return out;
}

DataRoot find_data_root(const DataSearch& search) {
  DataRoot best;
  bool first = true;
  for (const fs::path& candidate : data_candidates(search)) {
    std::vector<std::string> missing = missing_in(candidate);
    if (first || missing.size() < best.missing.size()) {
      best = DataRoot{candidate, std::move(missing)};
      first = false;
    }
    if (best.missing.empty()) break;
  }
  return best;
}

fs::path choose_data_root(std::ostream& err) {
  DataSearch search;
  search.working_dir = ".";
  if (const std::optional<fs::path> exe = os::program_file()) search.program = *exe;
  search.data_from_program = RT_DATA_FROM_BIN;
  search.installed_data = RT_INSTALLED_DATA_DIR;

  const DataRoot found = find_data_root(search);
  for (const std::string& name : found.missing) {
    std::error_code missing;
    err << "rangiertrubel: Ordner \"" << name << "\" fehlt in "
        << fs::absolute(found.root, missing).lexically_normal().string() << '\n';
  }
  return found.root;
}

}  // namespace rt
