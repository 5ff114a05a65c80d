// Runs the sound module as the game does, start to end, and prints the ids
// the player took: the nine clips of DIR are loaded, the given ids (all nine
// by default) queued, then the stop request. The no-device test runs it
// without any audio device, the desktop test through a sound server.
//   sound_play_child DIR [ID...]
#include "pa.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  const char *names[9] = {"pop.wav", "blop.wav", "fanfare.wav", "sad.wav", "thump.wav",
                          "pan.wav", "ding.wav", "bell.wav",    "honk.wav"};
  std::vector<int> log;
  played_ids = &log;
  for (int id = 0; id < 9; id++)
    read_wav((std::string(argv[1]) + "/" + names[id]).c_str(), id);
  create_play_all_wav(0);
  for (int id = 0; id < 9; id++)
    if (argc == 2) set_play_wav(id);
  for (int i = 2; i < argc; i++)
    set_play_wav(atoi(argv[i]));
  set_play_wav(SOUND_STOP);
  // Every request has been taken before the shutdown, which would cut the
  // queue short.
  wait_for_sound_threads();
  terminate_audio();
  int loaded = 0;
  for (int id = 0; id < 9; id++)
    loaded += wave[id].data != nullptr;
  printf("loaded %d played", loaded);
  for (int id : log)
    if (id != PLAYED_BATCH_END) printf(" %d", id);
  printf("\n");
  return 0;
}
