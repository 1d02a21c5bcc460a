#include "PenaltyDirectories.h"
