// Varnel: start-up, the event loop and shutdown.
#include "main_window.h"
#include "language.h"

#include "command_line.h"
#include "deal_args.h"
#include "game_tally.h"
#include "kept_game.h"
#include "pa.h"
#include "quit_signals.h"
#include "records_file.h"
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

// How long the end waits for the speech service to let go.
static const double SPEECH_END_WAIT = 0.3;

int main(int argc, char **argv) {
  keep_standard_files_open();
  start_language();
  // --help, --version and mistakes are answered before anything is read or
  // shown: the kept game stays as it is. --deal N comes out of the
  // arguments first, so a level may follow it.
  DealArgs deal = take_deal_args(argc, argv);
  if (!deal.error.empty()) return fprintf(stderr, _("varnel: %s\n"), deal.error.c_str()), 2;
  bool has_level;
  int given_level;
  StartRequest request = read_command_line(argc, argv, has_level, given_level);
  if (request != StartRequest::PLAY) return answer_command_line(request, argv[0], argv[1]);
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
  // Without a level argument the game kept from the last run goes on; else
  // a new game starts at the level given, in swap mode, or at the level and
  // mode the player last picked (Medium and swap mode by default).
  GameRecord kept;
  bool restoring = !deal.given && !has_level && load_kept_game(&kept);
  if (!restoring && (deal.given || has_level)) abandon_kept_game();
  bool arrows = !has_level && game_settings.arrows;
  int level = restoring ? kept.difficulty : has_level ? given_level : game_settings.level;
  MainWin *win = new MainWin(level, size.w, size.h, "Varnel");
  main_window = win;
  win->after_first_paint = load_fonts_and_sounds;
  win->keep_game_between_runs();
  quit_on_signals([] { quit_cb(nullptr, nullptr); });
  if (restoring) {
    win->restore_game(kept);
  } else {
    win->start_in_arrow_mode(arrows);
    win->game->next_deal = deal.deal;
    win->game->Reset();
  }
  if (game_settings.speech) start_speech(true);
  Fl::run();
  // The window goes now, not once the sound has stopped.
  Fl::flush();
  set_play_wav(SOUND_STOP);
  // The last move's game and the last result reach their files, unless the
  // disk holds a writer for more than about two seconds; a speech service
  // that does not answer is waited for a moment at most. (A lost display
  // ends the program from inside the event loop instead, and may lose that
  // move: the file then holds the one before, whole.)
  bool written = finish_keeping_game();
  written = finish_keeping_records() && written;
  bool speech_ended = stop_speech(SPEECH_END_WAIT);
  if (terminate_audio() != 0 || !written || !speech_ended) {
    // A sound or speech thread is stuck inside its library, or a writer in
    // the disk: leave without running anything that might wait for them
    // (not even a flush of stdio, whose locks they may hold; the game keeps
    // nothing buffered there).
    _exit(0);
  }
  return 0;
}
