// Runs the sound module as the game does, start to end, and prints the ids
// the player took. The no-device test runs it without any audio device.
#include "pa.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
  if (argc != 2) return 2;
  const char *names[9] = {"pop.wav", "blop.wav", "fanfare.wav", "sad.wav", "thump.wav",
                          "pan.wav", "ding.wav", "bell.wav",    "honk.wav"};
  std::vector<int> log;
  played_ids = &log;
  initialize_audio();
  for (int id = 0; id < 9; id++)
    read_wav((std::string(argv[1]) + "/" + names[id]).c_str(), id);
  create_play_all_wav(0);
  for (int id = 0; id < 9; id++)
    set_play_wav(id);
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
