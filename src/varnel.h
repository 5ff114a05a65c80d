// The game module's headers in one, for the tests and the benchmarks.
#pragma once

#include "board.h"
#include "busy_state.h"
#include "dialogs.h"
#include "main_window.h"
#include "scores_window.h"
#include "sizes.h"
#include "tile.h"
