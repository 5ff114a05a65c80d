// Ending the game cleanly on SIGTERM and SIGHUP, through the event loop.
#include "quit_signals.h"

#include <FL/Fl.H>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

static int signal_pipe[2] = {-1, -1};
static void (*quit_work)() = nullptr;

// A signal handler may do next to nothing: one byte into the pipe wakes the
// event loop, which does the rest.
static void on_signal(int) {
  int saved = errno;
  char byte = 1;
  if (write(signal_pipe[1], &byte, 1) < 0) {
  }
  errno = saved;
}

static void signal_arrived(FL_SOCKET fd, void *) {
  char bytes[16];
  while (read(fd, bytes, sizeof bytes) > 0) {
  }
  quit_work();
}

// Started under nohup, the game finds SIGHUP ignored so that it outlives its
// terminal: it stays ignored.
static void catch_signal(int number, const struct sigaction &action) {
  struct sigaction before;
  if (number == SIGHUP && sigaction(SIGHUP, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
    return;
  sigaction(number, &action, nullptr);
}

void quit_on_signals(void (*quit)()) {
  if (pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  quit_work = quit;
  Fl::add_fd(signal_pipe[0], FL_READ, signal_arrived);
  struct sigaction action = {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  // The first signal asks; should the end then hang, the next one ends it.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  catch_signal(SIGTERM, action);
  catch_signal(SIGHUP, action);
}
