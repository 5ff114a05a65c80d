#include "read_wave.h"
