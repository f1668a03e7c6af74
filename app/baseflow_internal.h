#pragma once
// Fault hooks of the baseflow separation, for its tests.
namespace tw::test {
// The next separation finds its work array `which` (1 the filled series, 2 the padded
// series and quickflow) unobtainable.
void failNextSeparationAllocation(int which);
}  // namespace tw::test
