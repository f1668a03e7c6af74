#pragma once
// The pgraph subsystem's region of tessar.
struct PgraphRegion {
};
