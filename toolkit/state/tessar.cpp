#include "toolkit/state/tessar.h"

Tessar tessar;

void tessarreset() {
  static const Tessar atload{};
  tessar = atload;
}
