#pragma once
// Baseflow separation: a recursive digital filter run several times over the daily flows
// of twvars, alternately forward and backward, and the Baseflow Index (BFI).
#include <span>

// Separates daily records 1..ndays of twvars into quickflow and baseflow with the filter
// parameter and number of passes of twvars, stores BFI and sets the analysis status to 3.
// Refused with a message box, changing nothing but the error flag, when the record has
// fewer than 31 days or the work arrays cannot be had; twvars.errorflag is 0 on success.
void baseflowseparation();

// One filter pass over elements first, first + step, ... (1-based; step +1 forward, -1
// backward) for (last - first + step) / step elements of Q (quickflow) and Y (the pass's
// input, left holding its baseflow). N is the arrays' length. A range that would reach
// outside 1..N does nothing.
void passfilter(std::span<float> Q, std::span<float> Y, int N, int first, int last, int step,
                float a);
