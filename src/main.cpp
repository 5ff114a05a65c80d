// Varnel: start-up, the event loop and shutdown.
#include "varnel.h"

#include "pa.h"
#include "top_scores.h"

int main(int argc, char **argv) {
  initialize_audio();
  Fl::set_fonts("-*-*-*-*-*-*-*-*-*-*-*-*-iso10646-1");
  FL_NORMAL_SIZE = 11;
  read_top_scores();
  static const char *const sound_files[9] = {"pop.wav",  "blop.wav",  "fanfare.wav",
                                             "sad.wav",  "thump.wav", "pan.wav",
                                             "ding.wav", "bell.wav",  "honk.wav"};
  for (int id = 0; id < 9; id++)
    read_wav(sound_files[id], id);
  create_play_all_wav(0);
  Fl::visual(FL_DOUBLE);
  Fl::get_system_colors();
  int level = parse_level(argc > 1 ? argv[1] : nullptr);
  MainWin *win = new MainWin(level, 800, 830, "Varnel");
  main_window = win;
  main_window->game->Reset();
  Fl::run();
  set_play_wav(SOUND_STOP);
  terminate_audio();
  return 0;
}
