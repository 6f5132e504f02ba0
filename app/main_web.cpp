// The browser program: the game on the web host, working in the page's
// folder that holds the preloaded data, with the player's files kept.
#include "app/program.h"
#include "hosts/web/web_host.h"

int main() {
  // The build preloads Sprites and Waves into /game and the shipped files of
  // Data into /pack/Data; Data itself is kept in the browser.
  const rt::WebFolders folders{"/game", "Data", "/pack/Data"};
  return rt::run_on_web(folders, [](rt::Platform& platform) {
    rt::Program program(platform);
    program.run();
  });
}
