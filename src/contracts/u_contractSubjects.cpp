#include "u_contractSubjects.h"
