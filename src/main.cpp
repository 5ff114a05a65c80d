// Varnel: start-up, the event loop and shutdown.
#include "main_window.h"

#include "kept_game.h"
#include "pa.h"
#include "quit_signals.h"
#include "sizes.h"
#include "speech.h"
#include "top_scores.h"

#include <csignal>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

// A caller may start the game with a standard descriptor closed
// (`varnel 2>&-`). The next file opened would take its number: the X
// connection, say, would then receive every line meant for stderr.
static void keep_standard_files_open() {
  int fd;
  while ((fd = open("/dev/null", O_RDWR)) >= 0 && fd <= 2) {
  }
  if (fd > 2) close(fd);
}

// Once the window has first been painted: the fonts are listed, the clips
// read and the player thread started. None of it is needed for that paint,
// and all of it would delay the window on the screen. The fonts come first,
// and the memory their listing used goes back to the system before the audio
// library starts: that start, with a desktop's ALSA plugins, is the
// program's largest use of memory, and the two would otherwise add up.
// Sounds asked for meanwhile (the first deal's) wait in the queue.
static void load_fonts_and_sounds(void *) {
  Fl::set_fonts("-*-*-*-*-*-*-*-*-*-*-*-*-iso10646-1");
  malloc_trim(0);
  static const char *const sound_files[9] = {"pop.wav",  "blop.wav",  "fanfare.wav",
                                             "sad.wav",  "thump.wav", "pan.wav",
                                             "ding.wav", "bell.wav",  "honk.wav"};
  for (int id = 0; id < 9; id++)
    read_wav(sound_files[id], id);
  create_play_all_wav(0);
}

// The level and mode of the first game: a level argument's, in swap mode,
// or else those the player last picked (Medium and swap mode by default).
static int starting_level(int argc, char **argv, bool &arrows) {
  arrows = argc <= 1 && game_settings.arrows;
  return argc > 1 ? parse_level(argv[1]) : game_settings.level;
}

// How long the end waits for the speech service to let go.
static const double SPEECH_END_WAIT = 0.3;

int main(int argc, char **argv) {
  keep_standard_files_open();
  // One malloc arena for every thread: the audio library's start, on a
  // thread of its own, then reuses memory freed before it instead of
  // filling an arena of its own (on a desktop, about 140 KB less at the
  // peak). The threads allocate little otherwise, the stream callback
  // nothing.
  mallopt(M_ARENA_MAX, 1);
  // A write past the size limit for files (ulimit -f) then fails with EFBIG,
  // and a win that cannot be recorded is told, instead of the limit's signal
  // ending the game. The toolkit writes its preferences file during play too.
  signal(SIGXFSZ, SIG_IGN);
  game_settings = load_settings();
  set_sound_on(game_settings.sound);
  read_top_scores();
  Fl::visual(FL_DOUBLE);
  Fl::get_system_colors();
  // The display is open now; no widget exists yet.
  StartSize size = start_size();
  set_text_size(size.text);
  // Without a level argument the game kept from the last run goes on.
  GameRecord kept;
  bool restoring = argc < 2 && load_kept_game(&kept);
  bool arrows = false;
  int level = restoring ? kept.difficulty : starting_level(argc, argv, arrows);
  MainWin *win = new MainWin(level, size.w, size.h, "Varnel");
  main_window = win;
  win->after_first_paint = load_fonts_and_sounds;
  win->keep_game_between_runs();
  quit_on_signals([] { quit_cb(nullptr, nullptr); });
  if (restoring) {
    win->restore_game(kept);
  } else {
    win->start_in_arrow_mode(arrows);
    win->game->Reset();
  }
  if (game_settings.speech) start_speech(true);
  Fl::run();
  // The window goes now, not once the sound has stopped.
  Fl::flush();
  set_play_wav(SOUND_STOP);
  // The last move's game reaches its file. (A lost display ends the program
  // from inside the event loop instead, and may lose that move: the file
  // then holds the one before, whole.)
  finish_keeping_game();
  // A speech service that does not answer is waited for a moment at most.
  bool speech_ended = stop_speech(SPEECH_END_WAIT);
  if (terminate_audio() != 0 || !speech_ended) {
    // A sound or speech thread is stuck inside its library: leave without
    // running anything that might wait for it (not even a flush of stdio,
    // whose locks it may hold; the game keeps nothing buffered there).
    _exit(0);
  }
  return 0;
}
