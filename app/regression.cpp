// app/regression.cpp: the least-squares solve and one run of the trend regression.
//
// Invariants: (1) the design matrix is column-major, one row per usable year in ascending
// year order, columns constant, time index, then rain and user variables 1-3 when
// included; (2) a failed run leaves the results of the previous successful run, except that
// a failed solve zeroes the coefficients; (3) the dump files, once opened, stay open for the
// rest of the program run so that later failures append to them.
#include "app/regression.h"

#include <Eigen/Dense>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "app/modules.h"
#include "app/regstats.h"
#include "app/regstats_internal.h"
#include "toolkit/dialog/standard_dialogs.h"

namespace {
// The solve on a factor of the scaled columns. The data are single precision: columns that
// agree to within its resolution carry no separate information.
void laxlsolve(const ScaledQR& f, std::span<float> b, int m, int& icon) {
  const int n = static_cast<int>(f.scale.size());
  if (rankscaled(f, 16.0 * FLT_EPSILON) < n) {
    icon = LAXL_RANKDEFICIENT;
    return;
  }
  Eigen::VectorXd rhs(m);
  for (int i = 0; i < m; ++i) rhs(i) = b[i];
  const Eigen::VectorXd x = f.qr.solve(rhs);
  for (int j = 0; j < n; ++j) b[j] = static_cast<float>(x(j) / f.scale(j));
  icon = 0;
}
}  // namespace

void LAXL(std::span<float> a, int k, int m, int n, std::span<float> b, int isw, int& icon) {
  icon = LAXL_INVALID;
  if (n < 1 || m < n || k < m || isw != 1) return;
  if (a.size() < static_cast<std::size_t>(k) * (n - 1) + m || b.size() < static_cast<std::size_t>(m)) return;
  // Columns scaled to unit length, so that the rank test does not depend on the units of the
  // variables (a time index of 1..30 beside rain in the thousands).
  ScaledQR f;
  if (!factorscaled(a, k, m, n, f)) {
    icon = LAXL_RANKDEFICIENT;
    return;
  }
  laxlsolve(f, b, m, icon);
}

namespace {

constexpr int kMaxCols = 6;
constexpr char kTitle[] = "Regression";

void tell(std::string_view text) { WMessageBox(0, 3, 1, text, kTitle); }

// The design matrix and response of the usable years (Invariant 1).
void filldesign(std::vector<float>& x, std::vector<float>& y, int nsample) {
  const TwVars& tw = twvars;
  int k = 0;
  for (int yr = 0; yr < tw.numyears; ++yr) {
    const AnnualRecord& a = tw.annual[yr];
    if (a.usable != 1) continue;
    y[k] = a.baseflow;
    int col = 0;
    auto put = [&](float v) { x[static_cast<std::size_t>(col++) * nsample + k] = v; };
    put(1.0f);
    put(static_cast<float>(a.timeindex));
    if (tw.raininclude == 1) put(a.rain);
    for (int u = 0; u < 3; ++u)
      if (tw.userinclude[u] == 1) put(a.user[u]);
    ++k;
  }
}

// Dump fields: a real right-justified in w columns with 3 decimals, w asterisks when it
// does not fit; an integer right-justified in w columns.
std::string dumpreal(float v, int w) {
  char buf[64];
  const int len = std::snprintf(buf, sizeof buf, "%*.3f", w, static_cast<double>(v));
  if (len > w || !std::isfinite(v)) return std::string(w, '*');
  return std::string(buf, len);
}
std::string dumpint(int v, int w, int digits = 1) {
  char buf[32];
  const int len = std::snprintf(buf, sizeof buf, "%*.*d", w, digits, v);
  if (len > w) return std::string(w, '*');
  return std::string(buf, len);
}

// Dump files of failed solves (Invariant 3).
std::FILE* fort20 = nullptr;
std::FILE* laxllog = nullptr;

void dumpfailure(int icon, int nsample, int ncol) {
  const TwVars& tw = twvars;
  if (fort20 == nullptr) fort20 = std::fopen("fort.20", "w");
  if (fort20 != nullptr) {
    std::fprintf(fort20, "Solution failed, error code = %9d\n", icon);
    std::fflush(fort20);
  }
  tell("LAXL Solution failed - input data dumped to LAXL.LOG");
  twvars.errorflag = 1;

  std::vector<float> x(static_cast<std::size_t>(nsample) * ncol), y(nsample);
  filldesign(x, y, nsample);
  if (laxllog == nullptr) laxllog = std::fopen("LAXL.LOG", "w");
  if (laxllog != nullptr) {
    std::string text = "Independent variables used:";
    text.resize(36, ' ');
    for (int u = 0; u < 3; ++u) text += dumpint(tw.userinclude[u], 8);
    text += "\nNo.           Y";
    for (int j = 1; j < ncol; ++j) text += "       X" + dumpint(j, 2, 2);
    text += '\n';
    for (int i = 0; i < nsample; ++i) {
      text += dumpint(i + 1, 5);
      text += dumpreal(y[i], 10);
      for (int j = 1; j < ncol; ++j) text += dumpreal(x[static_cast<std::size_t>(j) * nsample + i], 10);
      text += '\n';
    }
    std::fputs(text.c_str(), laxllog);
    std::fflush(laxllog);
  }
  regressdat.coeffs.fill(0.0f);
}

}  // namespace

void linest() {
  TwVars& tw = twvars;
  RegressDat& rd = regressdat;

  int nsample = 0;
  for (int yr = 0; yr < tw.numyears; ++yr)
    if (tw.annual[yr].usable == 1) ++nsample;
  if (nsample < 8) {
    tell("The available data has less then 8 years of data.\r\rRegression not possible.");
    tw.errorflag = 1;
    return;
  }
  const int numusevar = tw.raininclude + tw.userinclude[0] + tw.userinclude[1] + tw.userinclude[2];
  const int ncol = numusevar + 2;
  rd.nsample = nsample;
  rd.NumUseVar = numusevar;
  rd.ncols = ncol;

  std::vector<float> xvart, yvart;
  try {
    xvart.resize(static_cast<std::size_t>(nsample) * ncol);
    yvart.resize(nsample);
    rd.Cov.assign(static_cast<std::size_t>(ncol) * ncol, 0.0f);
  } catch (const std::bad_alloc&) {
    tell("Memory allocation failed");
    tw.errorflag = 1;
    return;
  }
  filldesign(xvart, yvart, nsample);

  // (X'X)^-1 and the coefficients from one factor of the scaled columns in double
  // precision, so that the standard errors keep their accuracy with nearly collinear
  // columns; both are stored single precision.
  ScaledQR f;
  if (!factorscaled(xvart, nsample, nsample, ncol, f) || rankscaled(f, kDependent) < ncol) {
    tellsingular();
    tell("Matrix inversion failed");
    tw.errorflag = 1;
    return;
  }
  const Eigen::MatrixXd cov = xtxinverse(f);
  for (int i = 0; i < ncol; ++i)
    for (int j = 0; j < ncol; ++j) rd.Cov[static_cast<std::size_t>(i) * ncol + j] = static_cast<float>(cov(i, j));

  int icon = 0;
  laxlsolve(f, yvart, nsample, icon);
  if (icon != 0) {
    dumpfailure(icon, nsample, ncol);
    return;
  }
  rd.coeffs.fill(0.0f);
  tw.errorflag = 0;
  for (int j = 0; j < ncol; ++j) rd.coeffs[j] = yvart[j];

  // Fitted values and sums of squares; the solve may have used yvart, so refill.
  filldesign(xvart, yvart, nsample);
  long double sumest = 0.0L, sumobs = 0.0L;
  for (int k = 0; k < nsample; ++k) {
    float est = 0.0f;
    for (int j = 0; j < ncol; ++j) est += rd.coeffs[j] * xvart[static_cast<std::size_t>(j) * nsample + k];
    rd.observed[k] = yvart[k];
    rd.estimated[k] = est;
    sumest += est;
    sumobs += yvart[k];
  }
  rd.avest = static_cast<float>(sumest / nsample);
  rd.avobs = static_cast<float>(sumobs / nsample);
  float sxy = 0.0f, sst = 0.0f, ssreg = 0.0f, ssresid = 0.0f, dobs = 0.0f, dest = 0.0f;
  for (int k = 0; k < nsample; ++k) {
    dobs = rd.observed[k] - rd.avobs;
    dest = rd.estimated[k] - rd.avobs;
    sxy += dobs * dest;
    sst += dobs * dobs;
    ssreg += dest * dest;
    const float res = rd.observed[k] - rd.estimated[k];
    ssresid += res * res;
  }
  rd.sst = sst;
  rd.ssreg = ssreg;
  rd.ssresid = ssresid;
  rd.fitwork = {dobs, dest, sxy, sst, ssreg, ssresid};

  // A series without spread has no correlation or efficiency to speak of: 0, not 0/0.
  rd.R2 = (ssreg > 0.0f && sst > 0.0f) ? sxy * sxy / (ssreg * sst) : 0.0f;
  rd.R = std::sqrt(rd.R2);
  rd.resvar = ssresid / static_cast<float>(nsample - ncol);
  rd.SE = std::sqrt(rd.resvar);
  rd.cv = rd.avobs != 0.0f ? 100.0f * rd.SE / rd.avobs : 0.0f;
  rd.ce = sst > 0.0f ? 1.0f - ssresid / sst : 0.0f;

  for (int j = 0; j < ncol; ++j) {
    rd.stderrs[j] = static_cast<float>(rd.SE * std::sqrt(cov(j, j)));
    rd.tstat[j] = rd.stderrs[j] > 0.0f ? rd.coeffs[j] / rd.stderrs[j] : 0.0f;
    int flag = 0;
    rd.tprob[j] = 2.0f * (1.0f - probst(std::fabs(rd.tstat[j]), nsample - ncol, flag));
  }

  long double sumflow = 0.0L, sumbase = 0.0L;
  int nflow = 0, nbase = 0;
  for (int yr = 0; yr < tw.numyears; ++yr) {
    const AnnualRecord& a = tw.annual[yr];
    if (a.flow != MISSING) {
      sumflow += a.flow;
      ++nflow;
    }
    if (a.baseflow != MISSING) {
      sumbase += a.baseflow;
      ++nbase;
    }
  }
  rd.MAF = nflow > 0 ? static_cast<float>(sumflow / nflow) : 0.0f;
  rd.MABF = nbase > 0 ? static_cast<float>(sumbase / nbase) : 0.0f;
  rd.trendpct = rd.MABF != 0.0f ? 100.0f * rd.coeffs[1] / rd.MABF : 0.0f;

  filldesign(xvart, yvart, nsample);
  rd.cook.fill(0.0f);
  rd.cookyear.fill(0.0f);
  rd.stdresyear.fill(0.0f);
  checkoutliers(rd.observed, xvart, nsample, ncol, rd.coeffs, rd.cook, rd.stdres);
  int k = 0;
  for (int yr = 0; yr < tw.numyears; ++yr) {
    if (tw.annual[yr].usable != 1) continue;
    rd.cookyear[yr] = rd.cook[k];
    rd.stdresyear[yr] = rd.stdres[k];
    ++k;
  }

  // Persistence: pairs are two consecutive years that are both usable, so the series is
  // taken by year position with the usable flags of the same years.
  std::vector<float> byyear(tw.numyears);
  std::vector<int> flags(tw.numyears);
  for (int yr = 0; yr < tw.numyears; ++yr) {
    byyear[yr] = tw.annual[yr].baseflow;
    flags[yr] = tw.annual[yr].usable;
  }
  lagonesercorr(byyear, flags, tw.numyears, rd.lag1[0], rd.lag1[1], rd.lag1[2]);
}
