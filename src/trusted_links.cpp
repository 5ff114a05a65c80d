// Following symbolic links only where another user cannot have laid them.
#include "trusted_links.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// The kernel gives up after 40 links too.
static const int MAX_LINKS = 40;

// Adds the names of path to those still to walk, which are kept last name
// first; "." and empty names name no step.
static void add_names(const std::string &path, std::vector<std::string> &todo) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    if (!part.empty() && part != ".") names.push_back(part);
    start = end + 1;
  }
  todo.insert(todo.end(), names.rbegin(), names.rend());
}

// The directory a path starts from.
static int start_dir(const std::string &path) {
  return open(!path.empty() && path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
}

static int fail(int dir, int error) {
  if (dir >= 0) close(dir);
  errno = error;
  return -1;
}

// Each link is opened itself (O_PATH), so that its owner and its text are
// those of one and the same link; a relative link goes on from the
// directory that holds it.
int follow_trusted_links(const std::string &path, std::string &name) {
  std::vector<std::string> todo;
  add_names(path, todo);
  int dir = start_dir(path), links = 0;
  if (dir < 0) return -1;
  for (;;) {
    if (todo.empty()) todo.push_back("."); // the path names a directory
    std::string part = todo.back();
    todo.pop_back();
    int fd = openat(dir, part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && todo.empty()) { // a file still to be made
      name = part;
      return dir;
    }
    if (fd < 0) return fail(dir, errno);
    struct stat st;
    if (fstat(fd, &st) != 0) {
      int error = errno;
      close(fd);
      return fail(dir, error);
    }
    if (S_ISLNK(st.st_mode)) {
      char to[PATH_MAX];
      ssize_t n = -1;
      if (++links <= MAX_LINKS && (st.st_uid == geteuid() || st.st_uid == 0))
        n = readlinkat(fd, "", to, sizeof to - 1);
      close(fd);
      if (n <= 0) return fail(dir, ELOOP);
      std::string target(to, n);
      if (target[0] == '/') {
        close(dir);
        if ((dir = start_dir(target)) < 0) return -1;
      }
      add_names(target, todo);
      continue;
    }
    if (todo.empty()) {
      close(fd);
      name = part;
      return dir;
    }
    if (!S_ISDIR(st.st_mode)) {
      close(fd);
      return fail(dir, ENOTDIR);
    }
    close(dir);
    dir = fd;
  }
}
