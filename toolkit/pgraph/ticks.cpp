// Scale and tick arithmetic. Working values are long double; the values the routines hand
// out, and the constants the thresholds name, are single precision.
#include "toolkit/pgraph/ticks.h"

#include <cmath>
#include <cstdlib>

#include "toolkit/pgraph/mapping.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"

namespace {

using Real = long double;

// |r| = m x 10^e with 1 <= m < 10; r must be finite and non-zero.
void normalise(Real r, Real& m, int& e) {
  Real v = r;
  e = 0;
  for (;;) {
    while (std::fabs(v) >= 10) {
      v *= 0.1f;
      ++e;
    }
    if (std::fabs(v) >= 1) break;
    v *= 10;
    --e;
  }
  m = std::fabs(v);
}

Real power10(int e) { return std::pow(10.0L, static_cast<Real>(e)); }

enum Row { VALUEAXIS, ZAXIS, WIDEAXIS };

Real mantissa(Real m, Row row) {
  if (m < 1.3f) return row == VALUEAXIS ? 1 : 2;
  if (m < 2.6f) return row == WIDEAXIS ? 5 : 2;
  if (m < 6.5f) return row == WIDEAXIS ? 10 : 5;
  return 10;
}

// The first multiple of S at or above a, or a itself when it lies within E of one.
float firsttick(float a, Real S, Real E) {
  const Real abs = std::fabs(static_cast<Real>(a));
  const Real R = abs - S * std::trunc(static_cast<float>(abs / S));
  if (std::fabs(R) < E || std::fabs(S) - std::fabs(R) < E) return a;
  return static_cast<float>(a < 0 ? a + R : a - R + S);
}

bool usable(Real r) { return r != 0 && std::isfinite(r); }

int truncint(Real v) {
  if (!(std::fabs(v) < 2147483647.0L)) return 0;
  return static_cast<int>(std::trunc(v));
}

}  // namespace

void yyscal(float a, float b, int category, int nvalues, int axis, float& step, float& first,
            int& count, int& exponent, float& labelstep, float& labelfirst) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  const Real r = static_cast<Real>(b) - a;
  const int users = axis >= 1 && axis <= 3 ? pd.NUSERTICKS[axis - 1] : 0;
  if (category == 0) {
    if (!usable(r) || !std::isfinite(a)) {
      step = 0; first = a; count = 0; exponent = 0; labelstep = 0; labelfirst = a;
      yyerror(16, "YYSCAL");
      return;
    }
    Real m = 0;
    int e = 0;
    normalise(r, m, e);
    exponent = e;
    const Real S = mantissa(m, axis == 3 ? ZAXIS : VALUEAXIS) * power10(e - 1);
    step = static_cast<float>(S);
    const Real E = S * 0.00001f;
    first = firsttick(a, S, E);
    labelstep = step;
    labelfirst = first;
    count = users > 0 ? users : truncint((r + E) / S);
    if (users <= 0 &&
        (b + E) - (labelfirst + static_cast<Real>(count - 1) * labelstep) >= labelstep)
      ++count;
  } else {
    const int n = nvalues;
    int M = 1;
    if (n > 12) {
      Real v = n;
      int k = 0;
      while (v > 10) {
        v *= 0.1f;
        ++k;
      }
      const int p = static_cast<int>(power10(k - 1) + 0.5L);
      M = v < 3 ? 2 * p : v < 7 ? 5 * p : 10 * p;
    }
    // No values at all count as one slot, so that nothing divides by zero.
    const Real s = r / (n >= 1 ? n : 1);
    step = static_cast<float>(M * s);
    const Real c = a + s / 2;
    if (n > 1) {
      count = (M / 2 + n) / M;
      const int q = (n - ((count - 1) * M + 1)) / 2;
      first = static_cast<float>(c + s * q);
      labelstep = static_cast<float>(r * M / (n - 1));
      labelfirst = static_cast<float>(a + r * q / (n - 1));
    } else {
      first = static_cast<float>(c);
      count = 1;
      labelstep = 0;
      labelfirst = a;
    }
    if (r != 0) exponent = static_cast<int>(std::trunc(yylog1(static_cast<float>(r))));
    if (b - (labelfirst + static_cast<Real>(count - 1) * labelstep) >= labelstep) ++count;
  }
  if (pd.THREED && (pd.PGTYPE == 1 || pd.PGTYPE == 2)) {
    const Real f = 1 - static_cast<Real>(pd.DEPTHSHIFT);
    step = static_cast<float>(step * f);
    first = static_cast<float>(a + (first - static_cast<Real>(a)) * f);
  }
  count = std::abs(count);
}

void yyscal3d(float a, float b, float& step, int& count, float& span, int& exponent,
              float& first, float& offset) {
  const Real r = static_cast<Real>(b) - a;
  if (!usable(r) || !std::isfinite(a)) {
    step = 0; count = 0; span = 0; exponent = 0; first = a; offset = 0;
    yyerror(16, "YYSCAL3D");
    return;
  }
  Real m = 0;
  int e = 0;
  normalise(r, m, e);
  exponent = e;
  const Real S = mantissa(m, WIDEAXIS) * power10(e - 1);
  step = static_cast<float>(S);
  const Real E = S * 0.00001f;
  first = firsttick(a, S, E);
  const int n = truncint((r + E) / S);
  count = (b + E) - (first + static_cast<Real>(n - 1) * step) > step ? n + 1 : n;
  count = std::abs(count);
  span = static_cast<float>(r / S);
  offset = static_cast<float>((first - static_cast<Real>(a)) / S);
}

void yyscpol(float rmax, float& step, int& count, int& exponent) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  if (!usable(rmax)) {
    step = 0; count = 0; exponent = 0;
    yyerror(16, "YYSCPOL");
    return;
  }
  Real m = 0;
  int e = 0;
  normalise(rmax, m, e);
  exponent = e;
  const Real S = mantissa(m, WIDEAXIS) * power10(e - 1);
  step = static_cast<float>(S);
  const Real E = S * 0.00001f;
  if (pd.NUSERTICKS[1] > 0) {
    count = pd.NUSERTICKS[1];
    return;
  }
  int n = truncint((rmax + E) / S);
  if ((rmax + E) - S * (n - 1) >= step) ++n;
  if (static_cast<Real>(step) * (n - 1) >= rmax) --n;
  count = std::abs(n);
}

void yyslog(float a, float b, int& step, int& ndecades, int& lowest, int& highest) {
  const float la = yylog1(a), lb = yylog1(b);
  lowest = truncint(la - 0.0001f) + (la > 0 ? 1 : 0);
  highest = truncint(lb + 0.0001f) - (lb < 0 ? 1 : 0);
  ndecades = highest - lowest + 1;
  step = std::max(ndecades / 10 + (ndecades % 10 != 0 ? 1 : 0), 1);
  lowest = std::max(lowest - step, -38);
}

void yyslpol(float rmax, int& step, int& ndecades, int& lowest, int& highest) {
  const float lr = yylog1(rmax);
  highest = truncint(lr + 0.0001f) - (lr < 0 ? 1 : 0);
  ndecades = highest + 39;
  step = std::max(ndecades / 5 + (ndecades % 5 != 0 ? 1 : 0), 1);
  lowest = -38 + step;
}
