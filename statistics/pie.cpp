#include "pie.h"
