#pragma once
// The editor subsystem's region of tessar.
struct EditorRegion {
};
