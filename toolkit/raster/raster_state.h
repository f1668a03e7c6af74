#pragma once
// The raster subsystem's region of tessar.
struct RasterRegion {
};
