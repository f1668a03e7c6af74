#pragma once
// The hardcopy subsystem's region of tessar.
struct HardcopyRegion {
};
