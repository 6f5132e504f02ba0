// The level tool's exit statuses, for every one of its commands.
#pragma once

namespace rt::level_tool {

inline constexpr int kFaultsStatus = 1;  // a level has faults, or has no plan
inline constexpr int kUsageStatus = 2;   // bad arguments
inline constexpr int kFileStatus = 3;    // a file or folder could not be read or written

}  // namespace rt::level_tool
