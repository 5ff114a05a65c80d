// Files kept for the player alone: their directory, reading and replacing one.
#include "private_dir.h"

#include "regular_file.h"
#include "trusted_links.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

const char NOT_PRIVATE[] = "its directory is not yours alone";

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

// Opens name in the directory parent (O_PATH, closed here) for reading, when
// it is a directory of the player's that no one else may write.
static int open_if_private(int parent, const std::string &name, std::string &why) {
  why = NOT_PRIVATE;
  if (parent < 0) {
    if (errno != ELOOP) why = strerror(errno);
    return -1;
  }
  int fd = openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno != ELOOP) why = strerror(errno);
  close(parent);
  struct stat st;
  if (fd >= 0 && fstat(fd, &st) == 0 && st.st_uid == geteuid() && (st.st_mode & 022) == 0)
    return fd;
  if (fd >= 0) close(fd);
  return -1;
}

int open_private_dir(const std::string &dir, std::string &why) {
  std::string name;
  int parent = follow_trusted_links(dir, name);
  return open_if_private(parent, name, why);
}

int open_private_parent(const std::string &path, std::string &name, std::string &why) {
  return open_if_private(follow_trusted_links(path, name), ".", why);
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

int replace_private_file(int dir_fd, const std::string &name, const std::string &text) {
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
  else if (fsync(fd) != 0)
    err = errno;
  if (close(fd) != 0 && !err) err = errno;
  if (!err && renameat(dir_fd, temp.c_str(), dir_fd, name.c_str()) != 0) err = errno;
  if (err)
    unlinkat(dir_fd, temp.c_str(), 0);
  else
    fsync(dir_fd); // the new name is on the disk only once the directory is
  return err;
}

// The number that the digits from s up to stop give, s left at stop; -1
// when there are none, or other characters.
static long digits_until(const char *&s, char stop) {
  long n = 0;
  const char *start = s;
  while (*s >= '0' && *s <= '9' && n < 100000000)
    n = n * 10 + (*s++ - '0');
  return s > start && *s == stop ? n : -1;
}

// The process whose copy name.<pid>.<n> of name entry is; 0 when it is none.
static pid_t copy_owner(const char *entry, const std::string &name) {
  if (strncmp(entry, name.c_str(), name.size()) != 0 || entry[name.size()] != '.') return 0;
  const char *s = entry + name.size() + 1;
  long pid = digits_until(s, '.');
  if (pid <= 0) return 0;
  s++;
  return digits_until(s, '\0') >= 0 ? (pid_t)pid : 0;
}

void remove_stale_copies(int dir_fd, const std::string &name) {
  int fd = openat(dir_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR *dir = fd < 0 ? nullptr : fdopendir(fd);
  if (!dir) {
    if (fd >= 0) close(fd);
    return;
  }
  while (struct dirent *entry = readdir(dir)) {
    pid_t pid = copy_owner(entry->d_name, name);
    struct stat st;
    if (pid == 0 || pid == getpid() || kill(pid, 0) == 0 || errno != ESRCH) continue;
    if (fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == geteuid())
      unlinkat(dir_fd, entry->d_name, 0);
  }
  closedir(dir);
}
