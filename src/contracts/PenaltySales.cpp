#include "PenaltySales.h"
