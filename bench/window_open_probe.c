/* Starts the program and watches its main window on the X server:
 *   window_open_probe PROGRAM HOME
 * prints three times in seconds from the start: the window mapped, its
 * menu bar painted, the log's rows painted in the grid; then ends the
 * program. Build: cc -O2 -o probe window_open_probe.c -lX11 */
#define _DEFAULT_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static int ignoreErrors(Display* d, XErrorEvent* e) {
  (void)d;
  (void)e;
  return 0;
}

/* The viewable window named exactly `name` below `w`, or 0. */
static Window findNamed(Display* d, Window w, const char* name) {
  char* got = NULL;
  if (XFetchName(d, w, &got) && got) {
    const int same = strcmp(got, name) == 0;
    XFree(got);
    XWindowAttributes a;
    if (same && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) return w;
  }
  Window root, parent, *kids = NULL;
  unsigned n = 0;
  if (!XQueryTree(d, w, &root, &parent, &kids, &n)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < n && !found; ++i) found = findNamed(d, kids[i], name);
  if (kids) XFree(kids);
  return found;
}

/* Distinct pixel values in a rectangle of the window (capped at 64). */
static int colours(Display* d, Window w, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  XImage* img = XGetImage(d, w, x, y, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
  if (!img) return 0;
  unsigned long seen[64];
  int n = 0;
  for (int j = 0; j < height && n < 64; j += 1)
    for (int i = 0; i < width && n < 64; i += 1) {
      const unsigned long p = XGetPixel(img, i, j);
      int k = 0;
      while (k < n && seen[k] != p) ++k;
      if (k == n) seen[n++] = p;
    }
  XDestroyImage(img);
  return n;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: window_open_probe PROGRAM HOME\n");
    return 2;
  }
  Display* d = XOpenDisplay(NULL);
  if (!d) {
    fprintf(stderr, "no X display\n");
    return 2;
  }
  XSetErrorHandler(ignoreErrors);
  const double t0 = now();
  const pid_t pid = fork();
  if (pid == 0) {
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    execl(argv[1], argv[1], "--home", argv[2], (char*)NULL);
    _exit(127);
  }
  double mapped = 0, painted = 0, rows = 0;
  Window w = 0;
  while (now() - t0 < 30 && !rows) {
    if (!w) {
      w = findNamed(d, DefaultRootWindow(d), "Tamarack");
      if (w) mapped = now() - t0;
    }
    if (w) {
      XWindowAttributes a;
      if (!XGetWindowAttributes(d, w, &a)) break;
      /* The menu bar: its captions once painted. */
      if (!painted && colours(d, w, 0, 2, a.width / 2, 16) >= 4) painted = now() - t0;
      /* The grid below its header: text in the cells once the log is shown. */
      if (painted && colours(d, w, 60, 70, a.width / 2, a.height / 3) >= 8) rows = now() - t0;
    }
    usleep(2000);
  }
  kill(pid, SIGTERM);
  waitpid(pid, NULL, 0);
  XCloseDisplay(d);
  printf("%.3f %.3f %.3f\n", mapped, painted, rows);
  return rows > 0 ? 0 : 1;
}
