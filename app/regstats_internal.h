#pragma once
// The design matrix of a linear model with its columns scaled to unit length, factored once
// in double precision by QR with column pivoting. The regression's solve, the inverse of X'X
// behind its standard errors and the leverages of the influence statistics all come from
// this one factor: X'X formed and inverted in single precision on unscaled columns loses
// most of its digits when a column is nearly a linear function of the others, or much larger
// than they are. Used only inside the regression library.
#include <Eigen/Dense>
#include <span>

struct ScaledQR {
  Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr;
  Eigen::VectorXd scale;  // length of each column before scaling
};

// Columns that agree within this share of their length are dependent in double precision:
// far above its rounding, far below any difference single-precision data can hold.
inline constexpr double kDependent = 1e-12;

// Factors the m x n matrix a (column-major, leading dimension lda >= m, m >= n >= 1).
// False, with nothing factored, when a column is all zeros.
bool factorscaled(std::span<const float> a, int lda, int m, int n, ScaledQR& f);

// Number of columns independent within tol, a share of the largest pivot.
int rankscaled(const ScaledQR& f, double tol);

// (X'X)^-1 of the unscaled columns, n x n; the factor must be of full rank.
Eigen::MatrixXd xtxinverse(const ScaledQR& f);

// Diagonal of the hat matrix X (X'X)^-1 X', from the orthogonal factor.
Eigen::VectorXd leverages(const ScaledQR& f);

// The message of a matrix that cannot be inverted.
void tellsingular();
