// The top-score list and its file.
#include "top_scores.h"

#include "regular_file.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <string>
#include <sys/file.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

ScoreEntry score_list[MAX_SCORES];
int score_cnt = 0;

static const char *const SCORE_FILE = "top_scores.txt";
// The reader takes at most this many characters per read, the newline
// included; a longer line arrives in pieces.
static const int READ_PIECE = 254;

void strip_lf(char *s) {
  for (; *s; s++)
    if (*s == '\r' || *s == '\n') *s = '\0';
}

// strtol in base 10, kept within the range of an int.
static int read_number(const char *s) {
  long v = strtol(s, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return (int)v;
}

// Reads the first 100 valid lines of f into list; lines after those are
// never read. False on a read error.
static bool read_list(FILE *f, ScoreEntry *list, int *cnt) {
  *cnt = 0;
  char line[READ_PIECE + 1];
  while (*cnt < MAX_SCORES && fgets(line, sizeof line, f)) {
    strip_lf(line);
    char *first = strchr(line, ':');
    if (!first) continue;
    char *second = strchr(first + 1, ':');
    if (!second) continue;
    ScoreEntry &e = list[(*cnt)++];
    e.moves = read_number(line);
    e.mode = read_number(first + 1);
    snprintf(e.name, sizeof e.name, "%s", second + 1);
  }
  return !ferror(f);
}

void read_top_scores() {
  score_cnt = 0;
  FILE *f = open_regular_file(SCORE_FILE);
  if (!f) return;
  read_list(f, score_list, &score_cnt);
  fclose(f);
}

void clean_score_name(const char *name, int moves, int mode, char *out) {
  char prefix[32];
  int used = snprintf(prefix, sizeof prefix, "%d:%d:", moves, mode);
  size_t room = READ_PIECE - 1 - used; // the newline ends the line
  size_t n = 0;
  for (; name[n] && n < room; n++)
    out[n] = (name[n] == '\r' || name[n] == '\n') ? ' ' : name[n];
  // Never cut a UTF-8 character in two: drop its leading bytes too.
  if (name[n])
    while (n > 0 && ((unsigned char)name[n] & 0xC0) == 0x80)
      n--;
  out[n] = '\0';
}

// Appends one score line; every name is made safe again: a line read back
// from a piece of a longer line can come out longer than it was (":2:x" is
// written "0:2:x").
static void add_line(std::string &text, int moves, int mode, const char *name) {
  char clean[256], line[300];
  clean_score_name(name, moves, mode, clean);
  snprintf(line, sizeof line, "%d:%d:%s\n", moves, mode, clean);
  text += line;
}

// The file's new text: the list with the new score before the first entry
// of as many moves or more.
static std::string list_text(const ScoreEntry *list, int cnt, const char *name, int mode,
                             int moves) {
  std::string text;
  bool placed = false;
  for (int i = 0; i < cnt; i++) {
    if (!placed && list[i].moves >= moves) {
      add_line(text, moves, mode, name);
      placed = true;
    }
    add_line(text, list[i].moves, list[i].mode, list[i].name);
  }
  if (!placed) add_line(text, moves, mode, name);
  return text;
}

// Some file systems cannot sync; the data is written all the same.
static bool sync_file(int fd) {
  return fsync(fd) == 0 || errno == EINVAL;
}

// Follows symbolic links from path to the file they end at, which need not
// exist yet. False for a loop of links.
static bool follow_links(std::string &path) {
  for (int hops = 0; hops < 40; hops++) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    char to[PATH_MAX];
    ssize_t n = readlink(path.c_str(), to, sizeof to - 1);
    if (n < 0) return false;
    to[n] = '\0';
    size_t slash = path.rfind('/');
    if (to[0] == '/' || slash == std::string::npos)
      path = to;
    else
      path = path.substr(0, slash + 1) + to;
  }
  return false;
}

static bool same_file(const struct stat &a, const struct stat &b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Takes the lock on fd, waiting for it until the deadline at most: a copy
// of the game that is stopped, or a script or a network lock that hangs,
// must not freeze the game. Past the deadline a new copy of the file
// replaces it without the lock; the rename stays atomic, and only a score
// written by another copy at that very moment can be lost. False when the
// lock is not held.
static bool take_lock(int fd, std::chrono::steady_clock::time_point deadline) {
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return false; // no locks here
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Why a write that failed with this error lost the score.
static ScoreSave write_failure(int error) {
  switch (error) {
  case ENOSPC:
  case EDQUOT:
    return SCORE_DISK_FULL;
  case EFBIG:
    return SCORE_TOO_LARGE;
  case EACCES:
  case EPERM:
  case EROFS:
    return SCORE_WRITE_PROTECTED;
  default:
    return SCORE_WRITE_FAILED;
  }
}

// Why the scores file at path could not be opened for a rewrite, from errno;
// creating when there was none.
static ScoreSave open_failure(const std::string &path, bool creating) {
  int error = errno;
  if (creating)
    return write_failure(error) == SCORE_DISK_FULL ? SCORE_DISK_FULL : SCORE_NOT_CREATED;
  switch (error) {
  case EACCES:
    return access(path.c_str(), R_OK) == 0 ? SCORE_WRITE_PROTECTED : SCORE_UNREADABLE;
  case ELOOP:
  case EISDIR:
  case ENXIO:
  case ENODEV:
    return SCORE_NOT_A_FILE;
  default:
    return write_failure(error);
  }
}

// Opens the scores file at path, creating an empty one when there is none,
// and locks it, so that copies of the game take turns with it. Returns the
// descriptor, open for reading and writing, and the file's status, or -1
// when the file must not be rewritten: it is not a regular file (a FIFO or a
// device must not be written through or replaced), or it cannot be read
// (its scores would be lost), or the player may not write it (a file the
// player protected stays as it is), or none can be made; why tells which.
// locked tells whether the lock is held.
static int lock_score_file(const std::string &path, struct stat &st, bool &locked, ScoreSave &why) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  why = SCORE_NOT_A_FILE;
  for (int tries = 0; tries < 100; tries++) {
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return -1;
    int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    bool creating = fd < 0 && errno == ENOENT;
    if (creating) fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue; // another copy made it first
      why = open_failure(path, creating);
      return -1;
    }
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(fd);
      return -1;
    }
    locked = take_lock(fd, deadline);
    // The copy that held the lock may have replaced the file: lock the new
    // one instead.
    struct stat now;
    if (stat(path.c_str(), &now) == 0 && same_file(now, st)) return fd;
    close(fd);
  }
  why = SCORE_WRITE_FAILED;
  return -1;
}

// Rewrites the open file fd in place. A file the player may write can sit
// in a directory where the player may make no new file (a scores file that
// an administrator set up for all the players of a machine), or where the
// player's copy could not take its place (below); there it is rewritten in
// place. The room for the new text is taken before the first old byte is
// overwritten, so a full disk or a size limit leaves the old text whole and
// loses only the new score.
static ScoreSave rewrite_in_place(int fd, const std::string &text) {
  struct stat old;
  if (fstat(fd, &old) != 0) return write_failure(errno);
  off_t size = (off_t)text.size();
  int error = posix_fallocate(fd, 0, size);
  if (error != 0) {
    // Where the file system cannot reserve room, the C library writes zero
    // bytes past the end instead: cut off what a failed attempt added.
    [[maybe_unused]] int cut = ftruncate(fd, old.st_size);
    return write_failure(error);
  }
  bool ok = lseek(fd, 0, SEEK_SET) == 0 && write_all(fd, text) && ftruncate(fd, size) == 0 &&
            sync_file(fd);
  return ok ? SCORE_SAVED : write_failure(errno);
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
  fchmod(fd, old.st_mode & 07777); // after fchown, which clears set-id bits
  if (fstat(fd, &st) != 0) return false;
  mode_t owner = (old.st_mode >> 6) & 7, group = (old.st_mode >> 3) & 7, others = old.st_mode & 7;
  bool owner_kept = st.st_uid == old.st_uid || old.st_uid == 0 || (owner & ~(group & others)) == 0;
  return owner_kept && st.st_gid == old.st_gid && (st.st_mode & 07777) == (old.st_mode & 07777);
}

// Errors of a directory that will not let a new file replace the old one:
// it is read-only, or sticky (a file of another user may be written but not
// replaced), or the old file is mounted in its place. EEXIST: a stale copy
// that could not be removed.
static bool refused(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == EEXIST || error == EBUSY ||
         error == EXDEV;
}

// Writes the text to a temporary file beside path that replaces the file
// only once it has been written completely, so a failed write loses no
// score. 1 when done, 0 when the write failed (a full disk, a quota, too
// many open files: the old file stays; errno tells why), -1 when the file
// must be rewritten in place instead: the directory refuses the copy, or
// the copy cannot have the old file's rights.
static int replace_file(const std::string &path, int old_fd, const struct stat &old,
                        const std::string &text, bool locked) {
  // Under the lock one fixed name serves: an interrupted rewrite leaves one
  // stale temporary file, which the next rewrite replaces. Without it, the
  // copy that holds the lock may be writing that file.
  std::string tmp = path + ".tmp";
  if (!locked) tmp += "." + std::to_string(getpid());
  unlink(tmp.c_str());
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return refused(errno) ? -1 : 0;
  bool kept = keeps_old_rights(fd, old_fd, old);
  bool ok = kept && write_all(fd, text) && sync_file(fd);
  ok = close(fd) == 0 && ok;
  if (ok && rename(tmp.c_str(), path.c_str()) == 0) return 1;
  int error = errno;
  unlink(tmp.c_str());
  errno = error;
  return !kept || (ok && refused(error)) ? -1 : 0;
}

// A symbolic link stays a link: the file it ends at is rewritten. The list
// is read again from the file under the lock, so a score written meanwhile
// by another copy of the game, or any other change, is kept.
ScoreSave write_top_scores(const char *name, int difficulty, int moves, int arrow_mode) {
  int mode = arrow_mode == 1 ? -difficulty : difficulty;
  std::string path = SCORE_FILE;
  if (!follow_links(path)) return SCORE_NOT_A_FILE;
  struct stat old;
  bool locked = false;
  ScoreSave result;
  int fd = lock_score_file(path, old, locked, result);
  if (fd < 0) return result;
  // Not score_list: the caller reads the file back.
  static ScoreEntry list[MAX_SCORES];
  int cnt = 0;
  int read_fd = dup(fd);
  FILE *f = read_fd < 0 ? nullptr : fdopen(read_fd, "r");
  if (!f && read_fd >= 0) close(read_fd);
  bool ok = f && read_list(f, list, &cnt);
  if (f) fclose(f);
  if (!ok) {
    result = SCORE_UNREADABLE;
  } else {
    std::string text = list_text(list, cnt, name ? name : "", mode, moves);
    int replaced = replace_file(path, fd, old, text, locked);
    if (replaced == 1)
      result = SCORE_SAVED;
    else if (replaced == 0)
      result = write_failure(errno);
    else if (!locked)
      // The holder may be rewriting the file in place too: two such writes
      // could interleave, so the new score is lost instead.
      result = SCORE_NOT_LOCKED;
    else
      result = rewrite_in_place(fd, text);
  }
  close(fd); // and with it any lock
  return result;
}

const char *score_loss_text(ScoreSave why) {
  switch (why) {
  case SCORE_SAVED:
    return "the score was saved";
  case SCORE_WRITE_PROTECTED:
    return "the scores file is write-protected";
  case SCORE_NOT_CREATED:
    return "there is no scores file, and none can be made";
  case SCORE_UNREADABLE:
    return "the scores file cannot be read";
  case SCORE_NOT_A_FILE:
    return "the scores file is not a regular file";
  case SCORE_DISK_FULL:
    return "the disk, or your share of it, is full";
  case SCORE_TOO_LARGE:
    return "the scores file would pass the size limit set for files";
  case SCORE_NOT_LOCKED:
    return "the scores file could not be locked for writing";
  default:
    return "the scores file could not be written";
  }
}

const char *mode_text(int mode) {
  switch (mode) {
  case 0:
    return "Easy";
  case -1:
    return "Medium Arrow";
  case 2:
    return "Hard";
  case -2:
    return "Hard Arrow";
  case 3:
    return "Stupid";
  case -3:
    return "Stupid Arrow";
  default:
    return "Medium";
  }
}
