// app/regstats.cpp: the regression's statistical routines. All values are single precision
// except where a sum is carried in extended precision to keep its rounding small.
#include "app/regstats.h"

#include <array>
#include <cstddef>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "app/regstats_internal.h"
#include "toolkit/dialog/standard_dialogs.h"

namespace {

// Column-major element (i, j), 1-based, of a matrix with ld rows.
inline std::size_t at(int i, int j, int ld) {
  return static_cast<std::size_t>(j - 1) * ld + (i - 1);
}

}  // namespace

bool factorscaled(std::span<const float> a, int lda, int m, int n, ScaledQR& f) {
  Eigen::MatrixXd x(m, n);
  f.scale.resize(n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < m; ++i) x(i, j) = a[static_cast<std::size_t>(j) * lda + i];
    const double norm = x.col(j).norm();
    if (norm == 0.0) return false;
    f.scale(j) = norm;
    x.col(j) /= norm;
  }
  f.qr.compute(x);
  return true;
}

int rankscaled(const ScaledQR& f, double tol) {
  const Eigen::MatrixXd& r = f.qr.matrixQR();
  const int n = static_cast<int>(r.cols());
  const double biggest = std::fabs(r(0, 0));  // pivoting puts the largest first
  int rank = 0;
  for (int j = 0; j < n; ++j)
    if (std::fabs(r(j, j)) > tol * biggest) ++rank;
  return rank;
}

Eigen::MatrixXd xtxinverse(const ScaledQR& f) {
  // With X D^-1 P = Q R: (X'X)^-1 = D^-1 P (R'R)^-1 P' D^-1.
  const int n = static_cast<int>(f.scale.size());
  const auto r = f.qr.matrixQR().topLeftCorner(n, n).triangularView<Eigen::Upper>();
  const Eigen::MatrixXd rinv = r.solve(Eigen::MatrixXd::Identity(n, n));
  const Eigen::MatrixXd scaled = f.qr.colsPermutation() * (rinv * rinv.transpose()) *
                                 f.qr.colsPermutation().transpose();
  return f.scale.cwiseInverse().asDiagonal() * scaled * f.scale.cwiseInverse().asDiagonal();
}

Eigen::VectorXd leverages(const ScaledQR& f) {
  const Eigen::Index m = f.qr.rows(), n = f.qr.cols();
  const Eigen::MatrixXd q = f.qr.householderQ() * Eigen::MatrixXd::Identity(m, n);
  return q.rowwise().squaredNorm();
}

void tellsingular() { WMessageBox(0, 3, 1, "Matrix is singular - inverse cannot be found", "Error"); }

float probst(float t, int n, int& flag) {
  flag = 1;
  if (n < 1) return 0.0f;
  flag = 0;
  const long double w = n / (n + static_cast<long double>(t) * t);
  const float a = t / std::sqrt(static_cast<float>(n));

  // The finite series of the t distribution; it ends early once a term no longer counts.
  long double sum = 1.0L, term = 1.0L;
  for (int i = (n % 2 == 1) ? 3 : 2; i <= n - 2; i += 2) {
    term = term * w * (i - 1) / i;
    const long double next = sum + term;
    if (next == sum) break;
    sum = next;
  }

  long double p;
  if (n % 2 == 0) {
    p = 0.5L + 0.5L * a * static_cast<float>(std::sqrt(w)) * sum;
  } else {
    if (n == 1) sum = 0.0L;
    const float invpi = static_cast<float>(1.0 / std::numbers::pi);
    p = 0.5L + (static_cast<float>(std::atan(a)) + a * w * sum) * invpi;
  }
  return static_cast<float>(p);
}

void matinv(std::span<float> a, int n, int& flag) {
  flag = 1;
  if (n < 1 || n > 10 || a.size() < static_cast<std::size_t>(n) * n) return;
  std::array<int, 10> ipiv{}, indxr{}, indxc{};
  auto singular = [&flag] {
    flag = 1;
    tellsingular();
  };

  for (int i = 1; i <= n; ++i) {
    // Full pivoting: the largest element of the rows and columns not yet used; with ">="
    // the last of equal elements in scan order wins.
    float big = 0.0f;
    int irow = 1, icol = 1;
    for (int j = 1; j <= n; ++j) {
      if (ipiv[j - 1] == 1) continue;
      for (int k = 1; k <= n; ++k) {
        if (ipiv[k - 1] == 0) {
          if (std::fabs(a[at(j, k, n)]) >= big) {
            big = std::fabs(a[at(j, k, n)]);
            irow = j;
            icol = k;
          }
        } else if (ipiv[k - 1] > 1) {
          singular();
          return;
        }
      }
    }
    ++ipiv[icol - 1];
    if (irow != icol) {
      for (int l = 1; l <= n; ++l) std::swap(a[at(irow, l, n)], a[at(icol, l, n)]);
    }
    indxr[i - 1] = irow;
    indxc[i - 1] = icol;
    if (a[at(icol, icol, n)] == 0.0f) {
      singular();
      return;
    }
    const float pivinv = 1.0f / a[at(icol, icol, n)];
    a[at(icol, icol, n)] = 1.0f;
    for (int l = 1; l <= n; ++l) a[at(icol, l, n)] *= pivinv;
    for (int ll = 1; ll <= n; ++ll) {
      if (ll == icol) continue;
      const float dum = a[at(ll, icol, n)];
      a[at(ll, icol, n)] = 0.0f;
      for (int l = 1; l <= n; ++l) a[at(ll, l, n)] -= a[at(icol, l, n)] * dum;
    }
  }
  // Undo the row interchanges as column interchanges, in reverse order.
  for (int l = n; l >= 1; --l) {
    if (indxr[l - 1] != indxc[l - 1]) {
      for (int k = 1; k <= n; ++k) std::swap(a[at(k, indxr[l - 1], n)], a[at(k, indxc[l - 1], n)]);
    }
  }
  flag = 0;
}

void checkoutliers(std::span<const float> y, std::span<const float> X, int n, int p,
                   std::span<const float> b, std::span<float> d, std::span<float> r) {
  if (n < 1 || p < 1) return;
  // The leverages come from the scaled factor, not from X'X inverted in single precision.
  ScaledQR f;
  if (n < p || !factorscaled(X, n, n, p, f) || rankscaled(f, kDependent) < p) {
    tellsingular();
    WMessageBox(0, 0, 0, "Matrix inversion failed", "Regression");
    return;
  }
  const Eigen::VectorXd h = leverages(f);

  // Residuals of the least-squares fit: y - X b with its part in the span of the columns
  // taken out. For the least-squares b that part is only the single-precision rounding of
  // b, which with nearly collinear columns is large beside a small residual.
  Eigen::VectorXd e(n);
  for (int i = 1; i <= n; ++i) {
    long double fit = 0.0L;
    for (int k = 1; k <= p; ++k) fit += static_cast<long double>(X[at(i, k, n)]) * b[k - 1];
    e(i - 1) = static_cast<double>(y[i - 1] - fit);
  }
  Eigen::VectorXd qe = f.qr.householderQ().transpose() * e;
  qe.head(p).setZero();
  e = f.qr.householderQ() * qe;
  long double ss = 0.0L;
  for (int i = 0; i < n; ++i) ss += static_cast<long double>(e(i)) * e(i);
  // With no residual degrees of freedom the scale is undefined; treat it like an exact fit.
  const float s = n > p ? static_cast<float>(std::sqrt(ss / (n - p))) : 0.0f;

  for (int i = 1; i <= n; ++i) {
    const long double hi = h(i - 1);
    // An exact fit has no scale, and a row with leverage 1 fits itself exactly: neither can
    // stand out, so both statistics are 0 rather than 0/0.
    if (s == 0.0f || hi >= 1.0L) {
      d[i - 1] = 0.0f;
      r[i - 1] = 0.0f;
      continue;
    }
    const long double ei = e(i - 1);
    const long double oneh = 1.0L - hi;
    d[i - 1] = static_cast<float>((ei * ei / oneh) * ((hi / (p * static_cast<long double>(s) * s)) / oneh));
    r[i - 1] = static_cast<float>((ei * (1.0L / s)) / static_cast<float>(std::sqrt(oneh)));
  }
}

void lagonesercorr(std::span<const float> x, std::span<const int> f, int n, float& rho,
                   float& upper, float& lower) {
  std::vector<float> a, b;
  a.reserve(n > 0 ? n : 0);
  b.reserve(n > 0 ? n : 0);
  for (int i = 1; i <= n - 1; ++i) {
    if (f[i - 1] == 1 && f[i] == 1) {
      a.push_back(x[i - 1]);
      b.push_back(x[i]);
    }
  }
  getpersistance(a, b, static_cast<int>(a.size()), rho, upper, lower);
}

void getpersistance(std::span<const float> a, std::span<const float> b, int m, float& rho,
                    float& upper, float& lower) {
  if (m <= 3) return;
  float sab = 0.0f, sa = 0.0f, sb = 0.0f, saa = 0.0f, sbb = 0.0f;
  for (int j = 0; j < m; ++j) {
    sab += a[j] * b[j];
    sa += a[j];
    sb += b[j];
    saa += a[j] * a[j];
    sbb += b[j] * b[j];
  }
  const float fm = static_cast<float>(m);
  const float m2 = static_cast<float>(m * m);
  const float va = saa / fm - sa * sa / m2;
  const float vb = sbb / fm - sb * sb / m2;
  // A constant series (or one whose spread is lost to rounding) shows no persistence.
  if (va > 0.0f && vb > 0.0f) {
    rho = (sab / fm - sa * sb / m2) / (std::sqrt(va) * std::sqrt(vb));
  } else {
    rho = 0.0f;
  }
  const float root = std::sqrt(static_cast<float>(m - 1));
  upper = (1.96f * root - 1.0f) / fm;
  lower = (-1.0f - 1.96f * root) / fm;
}

void getr(std::span<const float> x, std::span<const float> y, int n, float& r, float& r2) {
  if (n < 1) {
    r = 0.0f;
    r2 = 0.0f;
    return;
  }
  float sx = 0.0f, sy = 0.0f;
  for (int i = 0; i < n; ++i) {
    sx += x[i];
    sy += y[i];
  }
  const float xm = sx / n, ym = sy / n;
  float sxy = 0.0f, sxx = 0.0f, syy = 0.0f;
  for (int i = 0; i < n; ++i) {
    sxy += (x[i] - xm) * (y[i] - ym);
    sxx += (x[i] - xm) * (x[i] - xm);
    syy += (y[i] - ym) * (y[i] - ym);
  }
  const float den = std::sqrt(sxx) * std::sqrt(syy);
  r = den > 0.0f ? sxy / den : 0.0f;
  r2 = r * r;
}
