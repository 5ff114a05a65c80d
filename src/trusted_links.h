// Following symbolic links only where another user cannot have laid them.
#pragma once

#include <string>

// Walks path one name at a time from the root or the working directory,
// following only links of the player's or root's: the kernel's rule for
// sticky directories, applied to every name on the way, since a
// group-shared directory has no such protection and a directory on the way
// may be swapped for a link as easily as the file. Returns a descriptor
// (O_PATH) of the directory holding the last name, and sets name to that
// name, which is no link and need not exist. -1 otherwise, with errno:
// ELOOP for another user's link or a loop of links, or why a directory on
// the way cannot be opened.
int follow_trusted_links(const std::string &path, std::string &name);
