#include "PenaltyContracts.h"
