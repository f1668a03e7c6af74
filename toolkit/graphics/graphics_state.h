#pragma once
// The graphics subsystem's region of tessar.
struct GraphicsRegion {
};
