// The game module's headers in one: the sizes, the tile, the board, the
// busy state, the dialogs, the top-scores window and the main window.
#pragma once

#include "board.h"
#include "busy_state.h"
#include "dialogs.h"
#include "main_window.h"
#include "scores_window.h"
#include "sizes.h"
#include "tile.h"
