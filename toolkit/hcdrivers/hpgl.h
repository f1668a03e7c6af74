#pragma once
// The HP-GL plotter file driver (hardcopy device 1) for ten pen-plotter models, and the
// HP-GL/2 driver (device 12) for LaserJet, DeskJet, Color LaserJet and DesignJet devices.

void xxhpgl(int& code);
void xxhpgl2(int& code);
