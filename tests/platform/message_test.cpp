#include "tests/platform/recorder.h"
