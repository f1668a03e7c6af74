#pragma once
// The annual trend regression: baseflow of the usable years on a constant, time and the
// included variables (rain, user variables 1-3), with its fit statistics, outlier
// statistics and lag-1 persistence check. Reads twvars, writes regressdat and
// twvars.errorflag (0 success).
#include <span>

// Condition codes of the least-squares solve.
inline constexpr int LAXL_RANKDEFICIENT = 20000;
inline constexpr int LAXL_INVALID = 30000;

// Least-squares solution of the over-determined system A x = B: A is m x n (m >= n >= 1),
// stored column by column with leading dimension k >= m; isw must be 1 (a new matrix). On
// icon 0 the solution is in b[0..n-1]; otherwise icon is LAXL_RANKDEFICIENT or LAXL_INVALID
// and b is unchanged. A is left unchanged (the solve works on a copy).
void LAXL(std::span<float> a, int k, int m, int n, std::span<float> b, int isw, int& icon);

// One run of the trend regression over the annual records whose usable flag is 1.
void linest();
