// Files kept for the player alone: their directory, reading and replacing one.
#include "private_dir.h"

#include "regular_file.h"
#include "shared_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

std::string absolute_env(const char *name) {
  const char *value = getenv(name);
  return value && value[0] == '/' ? value : "";
}

std::string make_private_dirs(const std::vector<std::string> &dirs) {
  std::string why;
  for (const std::string &d : dirs)
    if (mkdir(d.c_str(), 0700) != 0 && errno != EEXIST) why = strerror(errno);
  return why;
}

int open_private_dir(const std::string &dir, std::string &why) {
  std::string path = dir;
  why = "its directory is not yours alone";
  if (!follow_trusted_links(path)) return -1;
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno != ELOOP) why = strerror(errno);
  struct stat st;
  if (fd >= 0 && fstat(fd, &st) == 0 && st.st_uid == geteuid() && (st.st_mode & 022) == 0)
    return fd;
  if (fd >= 0) close(fd);
  return -1;
}

bool read_at(int dir_fd, const std::string &name, std::string &text, struct stat &st, size_t max) {
  text.clear();
  int fd = openat(dir_fd, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (regular) {
    text.resize(max + 1);
    size_t done = 0;
    ssize_t n = 0;
    while (done < text.size() &&
           ((n = read(fd, &text[done], text.size() - done)) > 0 || (n < 0 && errno == EINTR)))
      done += n > 0 ? n : 0;
    text.resize(done);
    regular = n >= 0;
  }
  close(fd);
  return regular;
}

int replace_file(int dir_fd, const std::string &name, const std::string &text, bool sync) {
  std::string temp;
  int fd = -1;
  for (int i = 0; fd < 0 && i < 100; i++) {
    temp = name + "." + std::to_string(getpid()) + "." + std::to_string(i);
    fd = openat(dir_fd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return errno;
  int err = 0;
  if (!write_all(fd, text))
    err = errno;
  else if (sync && fsync(fd) != 0)
    err = errno;
  if (close(fd) != 0 && !err) err = errno;
  if (!err && renameat(dir_fd, temp.c_str(), dir_fd, name.c_str()) != 0) err = errno;
  if (err) unlinkat(dir_fd, temp.c_str(), 0);
  return err;
}
