// Why a bounded read failed, in the words of the game's messages; the read
// itself is defined per system in os_posix.cpp and os_windows.cpp.
#include "platform/os/bounded_read.h"

#include <cstring>

namespace rt {

std::string FileBytes::reason() const {
  switch (status) {
    case Status::Ok:
      return "";
    case Status::Missing:
      return "fehlt";
    case Status::NotRegular:
      return "ist keine gewoehnliche Datei";
    case Status::TooBig:
      return "ist zu gross";
    case Status::Unreadable:
      return std::string("nicht lesbar: ") + std::strerror(error);
  }
  return "";
}

}  // namespace rt
