// Opening the files the game only reads, and writing one whole.
// Read so: a sound, the top scores, the settings.
#pragma once

#include <cstdio>
#include <fcntl.h>
#include <string>

// Opens path for reading when it is a regular file, else returns null. The
// open does not block: a FIFO under the name of a sound or of the scores
// file cannot hold up the start, nor a device feed it for ever. flags are
// added to open's (O_NOFOLLOW); a relative path is taken from the directory
// dir_fd.
FILE *open_regular_file(const char *path, int flags = 0, int dir_fd = AT_FDCWD);

// Writes all of text to fd, through short writes and interruptions. False
// on an error, with errno telling which (EIO where the device took nothing).
bool write_all(int fd, const std::string &text);
