// The base of every fixture that runs on the simulated host in a fresh folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "hosts/sim/sim_host.h"
#include "platform/platform.h"
#include "tests/support/temp_dir.h"

namespace rt::testing {

// A simulated host and a platform on it, working in a fresh folder.
class SimFixture : public ::testing::Test {
 protected:
  TempDir dir;
  SimHost host;
  Platform platform{host, dir.path()};
};

}  // namespace rt::testing
