#include "toolkit/core/tessar.h"

Tessar tessar;
