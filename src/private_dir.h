// Files the game keeps for the player alone in a directory of theirs (the
// settings, the kept game): finding the directory, reading a file there and
// replacing one whole.
#pragma once

#include <string>
#include <sys/stat.h>
#include <vector>

// An absolute path from the environment, or "": the base directory rules
// take a relative or empty one as unset.
std::string absolute_env(const char *name);

// Makes the directories that are missing, in order, with mode 0700. Returns
// "" or why the last that could not be made could not.
std::string make_private_dirs(const std::vector<std::string> &dirs);

// Why a directory was refused: it is not the player's alone, or a link on
// its way is another user's.
extern const char NOT_PRIVATE[];

// Opens the directory dir (through links of the player's or root's only,
// follow_trusted_links) for reading when it is the player's and no one else
// may write it: a file written there can be neither swapped nor redirected
// by another user. Else -1, with why set.
int open_private_dir(const std::string &dir, std::string &why);
// Likewise the directory that holds the last name of path, once the links
// on the way and at the end are followed; name is set to that last name.
int open_private_parent(const std::string &path, std::string &name, std::string &why);

// Reads the regular file name in the directory dir_fd, not through a link
// and without waiting on a FIFO, cut one byte past max so that a larger file
// shows; st is its status. False when there is no such regular file, or it
// cannot be opened.
bool read_at(int dir_fd, const std::string &name, std::string &text, struct stat &st, size_t max);

// Writes text to a new file name.<pid>.<n> in the directory dir_fd, syncs
// it to the disk and renames it to name there, then syncs the directory:
// a power cut at any moment leaves the old file or the new one, whole.
// Returns 0, or the errno of the step that failed; the old file is then
// left as it was.
int replace_private_file(int dir_fd, const std::string &name, const std::string &text);

// Removes the copies name.<pid>.<n> in the directory dir_fd that a process
// no longer running left half made (a kill before the rename): regular
// files of the player's only, never through a link.
void remove_stale_copies(int dir_fd, const std::string &name);
