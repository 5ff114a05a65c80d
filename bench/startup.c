/* Start-up timer: forks and executes a program, and reports on stdout, in
   milliseconds after the exec, when its first top-level window was mapped
   and when that window first showed a completely painted face (the move
   box's pink at (704, 15), beside any count it shows, and a painted board
   at (780, 815)). Then it lets the program run for the given number of
   seconds, so that the caller can sample it, and stops it.
   Usage: startup SECONDS PROGRAM [ARGS...]; prints "PID MAP_MS PAINT_MS". */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static unsigned long pixel_at(Display *d, Window w, int x, int y) {
  XImage *img = XGetImage(d, w, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!img) return 0;
  unsigned long p = XGetPixel(img, 0, 0) & 0xFFFFFF;
  XDestroyImage(img);
  return p;
}

static int ignore_errors(Display *d, XErrorEvent *e) {
  (void)d;
  (void)e;
  return 0;
}

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: startup SECONDS PROGRAM [ARGS...]\n");
    return 2;
  }
  double hold = atof(argv[1]);
  Display *d = XOpenDisplay(NULL);
  if (!d) {
    fprintf(stderr, "startup: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(ignore_errors);
  Window root = DefaultRootWindow(d);
  XSelectInput(d, root, SubstructureNotifyMask);
  XSync(d, False);
  double t0 = now_ms();
  pid_t pid = fork();
  if (pid == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  Window win = 0;
  double mapped = -1, painted = -1;
  while (!win) {
    XEvent ev;
    XNextEvent(d, &ev);
    if (ev.type == MapNotify && ev.xmap.event == root) {
      win = ev.xmap.window;
      mapped = now_ms() - t0;
    }
  }
  while (now_ms() - t0 < 10000) {
    unsigned long box = pixel_at(d, win, 704, 15);
    unsigned long tile = pixel_at(d, win, 780, 815);
    if (box == 0xFFC8DC && tile != 0) {
      painted = now_ms() - t0;
      break;
    }
    usleep(200);
  }
  printf("%d %.2f %.2f\n", (int)pid, mapped, painted);
  fflush(stdout);
  usleep((useconds_t)(hold * 1e6));
  kill(pid, SIGTERM);
  waitpid(pid, NULL, 0);
  XCloseDisplay(d);
  return 0;
}
