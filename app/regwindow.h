#pragma once
#include <cstddef>
#include <string>
// The regression window: the root window with the regression menu and toolbar, the
// regression plot in its client area and the regression dialog 108 beside it, in which the
// variables and the outlier choice are set and the coefficients and statistics are shown.

// Runs the window until it is left for the main menu.
void trendanalysis();
// Shows the regression dialog and runs it until "Finished".
void regress_dialog();
// Rebuilds the usable flags from the dialog's choices and runs the regression (twice when
// outliers are left out), then draws the plot or, after a failure, clears the window.
void regress_rerun();
// The display format of a coefficient or t value in a results cell: "(F0.3)" when that text
// takes at most `most` characters, else `wide` (an exponent form that fits the cell).
std::string regresscellformat(float value, std::size_t most, const char* wide);
