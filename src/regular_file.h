// Opening a file that the game only reads: a sound or the top scores.
#pragma once

#include <cstdio>

// Opens path for reading when it is a regular file, else returns null. The
// open does not block: a FIFO under the name of a sound or of the scores
// file cannot hold up the start, nor a device feed it for ever.
FILE *open_regular_file(const char *path);
