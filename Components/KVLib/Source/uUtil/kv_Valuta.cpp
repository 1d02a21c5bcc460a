#include "kv_Valuta.h"
