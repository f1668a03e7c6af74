#include "toolkit/state/tessar.h"

Tessar tessar;
