// Rewriting a file that may sit in a directory shared with other users.
#include "shared_file.h"

#include "regular_file.h"
#include "trusted_links.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

using Deadline = std::chrono::steady_clock::time_point;

// A lock held for longer than this is passed by.
static Deadline lock_deadline() {
  return std::chrono::steady_clock::now() + std::chrono::seconds(2);
}

// Some file systems cannot sync; the data is written all the same.
static bool sync_file(int fd) {
  return fsync(fd) == 0 || errno == EINVAL;
}

static bool same_file(const struct stat &a, const struct stat &b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Takes the lock (LOCK_SH or LOCK_EX) on fd, waiting for it until the
// deadline at most: a copy of the game that is stopped, or a script or a
// network lock that hangs, must not freeze the game. Past the deadline a
// new copy of the file replaces it without the lock; the rename stays
// atomic, and only a change written by another copy at that very moment can
// be lost. False when the lock is not held.
static bool take_lock(int fd, int kind, Deadline deadline) {
  while (flock(fd, kind | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return false; // no locks here
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

FILE *open_shared_for_reading(const char *path) {
  std::string name;
  int dir = follow_trusted_links(path, name);
  if (dir < 0) return nullptr;
  FILE *f = open_regular_file(name.c_str(), O_NOFOLLOW, dir);
  close(dir);
  if (f) take_lock(fileno(f), LOCK_SH, lock_deadline());
  return f;
}

// Why a write that failed with this error lost the change.
static SharedWrite write_failure(int error) {
  switch (error) {
  case ENOSPC:
  case EDQUOT:
    return WRITE_DISK_FULL;
  case EFBIG:
    return WRITE_TOO_LARGE;
  case EACCES:
  case EPERM:
  case EROFS:
    return WRITE_PROTECTED;
  default:
    return WRITE_FAILED;
  }
}

// Why the file name in the directory dir could not be opened for a rewrite,
// from errno; creating when there was none.
static SharedWrite open_failure(int dir, const std::string &name, bool creating) {
  int error = errno;
  if (creating)
    return write_failure(error) == WRITE_DISK_FULL ? WRITE_DISK_FULL : WRITE_NOT_CREATED;
  switch (error) {
  case EACCES:
    return faccessat(dir, name.c_str(), R_OK, 0) == 0 ? WRITE_PROTECTED : WRITE_UNREADABLE;
  case ELOOP:
  case EISDIR:
  case ENXIO:
  case ENODEV:
    return WRITE_NOT_A_FILE;
  default:
    return write_failure(error);
  }
}

// Opens the file name in the directory dir, creating an empty one when there is none, and
// locks it, so that copies of the game take turns with it. Returns the
// descriptor, open for reading and writing, and the file's status, or -1
// when the file must not be rewritten: it is not a regular file (a FIFO or a
// device must not be written through or replaced), or it cannot be read
// (its contents would be lost), or the player may not write it (a file the
// player protected stays as it is), or none can be made; why tells which.
// locked tells whether the lock is held.
static int lock_file(int dir, const std::string &name, struct stat &st, bool &locked,
                     SharedWrite &why) {
  Deadline deadline = lock_deadline();
  why = WRITE_NOT_A_FILE;
  const char *at = name.c_str();
  for (int tries = 0; tries < 100; tries++) {
    if (fstatat(dir, at, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode)) return -1;
    int fd = openat(dir, at, O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    bool creating = fd < 0 && errno == ENOENT;
    if (creating) fd = openat(dir, at, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue; // another copy made it first
      why = open_failure(dir, name, creating);
      return -1;
    }
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(fd);
      return -1;
    }
    locked = take_lock(fd, LOCK_EX, deadline);
    // The copy that held the lock may have replaced the file: lock the new
    // one instead.
    struct stat now;
    if (fstatat(dir, at, &now, AT_SYMLINK_NOFOLLOW) == 0 && same_file(now, st)) return fd;
    close(fd);
  }
  why = WRITE_FAILED;
  return -1;
}

// Whether a file of size bytes stays within the limit set for files
// (ulimit -f), which bounds the offset a write may reach whatever the
// file's size already is.
static bool within_size_limit(size_t size) {
  struct rlimit limit;
  return getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
         size <= limit.rlim_cur;
}

// Reads the first n bytes of fd into head.
static bool read_head(int fd, size_t n, std::string &head) {
  head.resize(n);
  for (size_t done = 0; done < n;) {
    ssize_t got = pread(fd, &head[done], n - done, (off_t)done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += got;
  }
  return true;
}

// Rewrites the open file fd in place. A file the player may write can sit
// in a directory where the player may make no new file (a scores file that
// an administrator set up for all the players of a machine), or where the
// player's copy could not take its place (below); there it is rewritten in
// place. The room for the new text is taken before the first old byte is
// overwritten, so a full disk leaves the old text whole; the bytes the new
// text covers are kept aside and put back if the write still fails.
static SharedWrite rewrite_in_place(int fd, const std::string &text) {
  struct stat old;
  if (fstat(fd, &old) != 0) return write_failure(errno);
  off_t size = (off_t)text.size();
  std::string head;
  if (!read_head(fd, (size_t)std::min(size, old.st_size), head)) return WRITE_UNREADABLE;
  int error = posix_fallocate(fd, 0, size);
  if (error != 0) {
    // Where the file system cannot reserve room, the C library writes zero
    // bytes past the end instead: cut off what a failed attempt added.
    [[maybe_unused]] int cut = ftruncate(fd, old.st_size);
    return write_failure(error);
  }
  // The text is on the disk before the old tail is cut off, so that the
  // tail is never needed again.
  if (lseek(fd, 0, SEEK_SET) == 0 && write_all(fd, text) && sync_file(fd) &&
      ftruncate(fd, size) == 0) {
    sync_file(fd);
    return WRITE_DONE;
  }
  error = errno;
  bool restored = lseek(fd, 0, SEEK_SET) == 0 && write_all(fd, head) &&
                  ftruncate(fd, old.st_size) == 0 && sync_file(fd);
  return restored ? write_failure(error) : WRITE_FAILED;
}
// Gives the new copy fd the old file's group and mode, and its owner where
// this process may; true when the copy can take the old file's place with
// no one's rights on the file changed. Players who share a directory share
// the file by its group or by its mode: a copy with the winner's own group
// would lock the others out. A new owner changes no one's access where the
// old one was root, whom no mode keeps out, or had no right that the group
// and the others lack; and a player who may replace the file could replace
// it with a file of their own anyway. Some file systems (FUSE, CIFS, FAT)
// refuse these calls; there a new file mostly has the old one's rights
// already, and where it does not, the file is rewritten in place.
static bool keeps_old_rights(int fd, int old_fd, const struct stat &old) {
  // A copy would lose an access list (setfacl): rewrite such a file in place.
  if (fgetxattr(old_fd, "system.posix_acl_access", nullptr, 0) >= 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0) return false;
  // Only root may give a file away; an owner may give it a group of theirs.
  if ((st.st_uid != old.st_uid || st.st_gid != old.st_gid) &&
      fchown(fd, old.st_uid, old.st_gid) != 0) {
    [[maybe_unused]] int given = fchown(fd, (uid_t)-1, old.st_gid);
  }
  // The permissions only: set-id bits on a file of text serve no one.
  fchmod(fd, old.st_mode & 0777);
  if (fstat(fd, &st) != 0) return false;
  mode_t owner = (old.st_mode >> 6) & 7, group = (old.st_mode >> 3) & 7, others = old.st_mode & 7;
  bool owner_kept = st.st_uid == old.st_uid || old.st_uid == 0 || (owner & ~(group & others)) == 0;
  return owner_kept && st.st_gid == old.st_gid && (st.st_mode & 07777) == (old.st_mode & 0777);
}

// Errors of a directory that will not let a new file replace the old one:
// it is read-only, or sticky (a file of another user may be written but not
// replaced), or the old file is mounted in its place. EEXIST: a stale copy
// that could not be removed.
static bool refused(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == EEXIST || error == EBUSY ||
         error == EXDEV;
}

// Writes the text to a temporary file beside the file name in the directory
// dir that replaces it
// only once it has been written completely, so a failed write loses no
// change. 1 when done, 0 when the write failed (a full disk, a quota, too
// many open files: the old file stays; errno tells why), -1 when the file
// must be rewritten in place instead: the directory refuses the copy, or
// the copy cannot have the old file's rights.
static int replace_by_copy(int dir, const std::string &name, int old_fd, const struct stat &old,
                           const std::string &text, bool locked) {
  // Under the lock one fixed name serves: an interrupted rewrite leaves one
  // stale temporary file, which the next rewrite replaces. Without it, the
  // copy that holds the lock may be writing that file.
  std::string tmp = name + ".tmp";
  if (!locked) tmp += "." + std::to_string(getpid());
  unlinkat(dir, tmp.c_str(), 0);
  int fd = openat(dir, tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return refused(errno) ? -1 : 0;
  bool kept = keeps_old_rights(fd, old_fd, old);
  bool ok = kept && write_all(fd, text) && sync_file(fd);
  ok = close(fd) == 0 && ok;
  if (ok && renameat(dir, tmp.c_str(), dir, name.c_str()) == 0) return 1;
  int error = errno;
  unlinkat(dir, tmp.c_str(), 0);
  errno = error;
  return !kept || (ok && refused(error)) ? -1 : 0;
}

// Rewrites the file name in the directory dir, as rewrite_shared_file.
static SharedWrite rewrite_at(int dir, const std::string &name,
                              const std::function<bool(FILE *, std::string &)> &make_text) {
  struct stat old;
  bool locked = false;
  SharedWrite result;
  int fd = lock_file(dir, name, old, locked, result);
  if (fd < 0) return result;
  std::string text;
  int read_fd = dup(fd);
  FILE *f = read_fd < 0 ? nullptr : fdopen(read_fd, "r");
  if (!f && read_fd >= 0) close(read_fd);
  bool ok = f && make_text(f, text);
  if (f) fclose(f);
  if (!ok) {
    result = WRITE_UNREADABLE;
  } else if (!within_size_limit(text.size())) {
    result = WRITE_TOO_LARGE; // known before a byte is written
  } else {
    int replaced = replace_by_copy(dir, name, fd, old, text, locked);
    if (replaced == 1)
      result = WRITE_DONE;
    else if (replaced == 0)
      result = write_failure(errno);
    else if (!locked)
      // The holder may be rewriting the file in place too: two such writes
      // could interleave, so the change is lost instead.
      result = WRITE_NOT_LOCKED;
    else
      result = rewrite_in_place(fd, text);
  }
  close(fd); // and with it any lock
  return result;
}

// A link stays a link: the file it ends at is rewritten, and everything
// after is done relative to the directory it is in, so that a directory on
// the way swapped meanwhile cannot send the new file elsewhere. The text is
// made from the file as it is under the lock, so a change made meanwhile by
// another copy of the game is kept.
SharedWrite rewrite_shared_file(const char *path,
                                const std::function<bool(FILE *, std::string &)> &make_text) {
  std::string name;
  int dir = follow_trusted_links(path, name);
  if (dir < 0) return errno == ELOOP ? WRITE_NOT_A_FILE : open_failure(-1, "", true);
  SharedWrite result = rewrite_at(dir, name, make_text);
  close(dir);
  return result;
}
