#pragma once
// The raster device: device requests drawn in software into the virtual raster page. The
// raster printer and bitmap-file drivers handle begin, end of page and end themselves and
// pass every other request here.

// Carries out device request code on the page; unhandled codes change nothing.
void yyvras(int& code);

// What the raster printer and bitmap-file drivers share at their begin: the page of total
// words (plus one) taken, false when it cannot be had (pages beyond 2^29 words are refused:
// the page is zeroed when taken, so an impossible size would otherwise stall the machine);
// and the raster device's begin, which frees the page again when the output file could not
// be opened (no end request follows then) and otherwise clears it.
inline constexpr long long kRasterMaxWords = 1LL << 29;
bool yyrasallocate(long long total);
void yyrasbegin(bool opening);
