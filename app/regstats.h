#pragma once
// Statistics behind the trend regression: the Student-t distribution function, in-place
// matrix inversion, influence statistics of a fitted model and the lag-1 serial
// correlation with its 95 per cent acceptance limits. They keep nothing between calls;
// only matinv and checkoutliers touch anything outside their arguments (message boxes).
// The factor behind the regression's covariance and leverages: app/regstats_internal.h.
//
// Matrices are stored column by column, as the regression's design matrix is: element
// (i, j) of an n-row matrix (1-based) is index (j - 1) * n + (i - 1).
#include <span>

// P(T <= t) for Student's t with n degrees of freedom; flag 0, or 1 with 0.0 when n < 1.
float probst(float t, int n, int& flag);

// Replaces the n x n matrix a (1 <= n <= 10) by its inverse, in single precision; flag 1
// when a is singular (the user is told, and a is left partly transformed) or n is outside
// 1..10. The regression does not use it: single precision loses too much of X'X.
void matinv(std::span<float> a, int n, int& flag);

// Cook's distance d(i) and internally standardized residual r(i) of each of the n rows of
// the fitted model y = X b (X n x p). The leverages come from X factored in double precision
// on scaled columns, so they hold for nearly collinear columns. Leaves d and r unchanged,
// with matinv's message and "Matrix inversion failed", when the columns are dependent.
void checkoutliers(std::span<const float> y, std::span<const float> X, int n, int p,
                   std::span<const float> b, std::span<float> d, std::span<float> r);

// Lag-1 correlation of the pairs (x(i), x(i+1)) whose flags are both 1, with its limits.
void lagonesercorr(std::span<const float> x, std::span<const int> f, int n, float& rho,
                   float& upper, float& lower);

// Correlation of m pairs and Anderson's 95 per cent limits; unchanged when m < 4.
void getpersistance(std::span<const float> a, std::span<const float> b, int m, float& rho,
                    float& upper, float& lower);

// Correlation of x and y (two-pass) and its square.
void getr(std::span<const float> x, std::span<const float> y, int n, float& r, float& r2);
