// Opening a file the game only reads without hanging on a FIFO, and writing one whole.
#include "regular_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FILE *open_regular_file(const char *path, int flags, int dir_fd) {
  int fd = openat(dir_fd, path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | flags);
  if (fd < 0) return nullptr;
  struct stat st;
  FILE *file = nullptr;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) file = fdopen(fd, "rb");
  if (!file) close(fd);
  return file;
}

bool write_all(int fd, const std::string &text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}
