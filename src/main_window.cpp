#include "varnel.h"
