// Rewriting a file that may sit in a directory shared with other users.
// Through trusted links only, the lock that copies of the game take in turn, and
// rewrites that leave the old file whole when they fail.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

// What became of a rewrite: done, or why not.
enum SharedWrite {
  WRITE_DONE = 0,
  WRITE_PROTECTED,   // the player may not write the file
  WRITE_NOT_CREATED, // there is no file, and none can be made
  WRITE_UNREADABLE,  // the file cannot be read, so it is kept
  WRITE_NOT_A_FILE,  // a FIFO, a device, a directory, a loop of links, another user's link
  WRITE_DISK_FULL,   // no room left on the disk, or in the player's quota
  WRITE_TOO_LARGE,   // past the size limit for files (ulimit -f)
  WRITE_NOT_LOCKED,  // only a rewrite in place was possible, without the lock
  WRITE_FAILED       // any other failure
};

// Opens the regular file at path (through trusted links only,
// follow_trusted_links) for reading, under a shared lock: a rewrite in
// place is never seen half done. A lock held for more than about two
// seconds is passed by. Null when there is no such file.
FILE *open_shared_for_reading(const char *path);

// Rewrites the file at path (through trusted links only), creating it when
// there is none, with the text that make_text makes from the file's
// contents as they are under the lock (false when they cannot be read: the
// file is then kept). A new copy of
// the file replaces it once written completely, with the old file's owner,
// group and permissions (no set-id bits); where the copy cannot have them,
// or the directory refuses it, the file is rewritten in place under the
// lock, once nothing known beforehand can stop the write half-way. The file
// stays as it was, byte for byte, whenever the rewrite fails. A link stays
// a link to the rewritten file.
SharedWrite rewrite_shared_file(const char *path,
                                const std::function<bool(FILE *, std::string &)> &make_text);
