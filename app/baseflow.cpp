// Baseflow separation by the multi-pass recursive filter, and the Baseflow Index.
// Invariants: (1) the daily records, BFI and the status change only once every work array
// is in hand; (2) the filter arithmetic runs in long double and every stored element is
// rounded to float, as users compare BFI across tools and small changes move it; (3) the
// padded series is the filled record with 30 mirrored days at each end, end days not
// repeated, so a record needs at least 31 days.
#include "app/baseflow.h"

#include <algorithm>
#include <memory>
#include <new>

#include "app/baseflow_internal.h"
#include "app/modules.h"
#include "toolkit/dialog/standard_dialogs.h"

namespace {

constexpr int PAD = 30;       // mirrored days at each end
constexpr int MINDAYS = 31;   // the mirror at each end needs 30 other days

int failAllocation = 0;  // fault hook: which work array the next run cannot have

using WorkArray = std::unique_ptr<float[]>;

WorkArray allocatework(int which, int size) {
  if (failAllocation == which) {
    failAllocation = 0;
    return nullptr;
  }
  return WorkArray(new (std::nothrow) float[static_cast<std::size_t>(size)]);
}

void refuse(const char* text) {
  twvars.errorflag = 1;
  WMessageBox(0, 1, 1, text, "Problem");
}

// Fills F(1..n) from the recorded flows: a gap of missing days between two recorded days is
// a straight line between them; a gap at either end of the record is flat at the nearest
// recorded flow (0 when no day is recorded); negative days become 0 afterwards.
void fillgaps(const TwVars& tw, int n, float* F) {
  auto flow = [&](int i) { return tw.daily[i - 1].flow; };
  auto missing = [&](int i) { return tw.daily[i - 1].flowflag == FLOW_MISSING; };
  for (int i = 1; i <= n; ++i) F[i - 1] = flow(i);

  int i = 1;
  while (i <= n) {
    if (!missing(i)) {
      ++i;
      continue;
    }
    int l = i + 1;
    while (l <= n && missing(l)) ++l;
    const int m = l - i;
    if (i == 1 || l > n) {
      // Only one neighbour, or none when every day is missing.
      const float flat = i > 1 ? flow(i - 1) : (l <= n ? flow(l) : 0.0f);
      for (int j = 1; j <= m; ++j) F[i + j - 2] = flat;
    } else {
      const long double f0 = flow(i - 1), f1 = flow(l);
      for (int j = 1; j <= m; ++j)
        F[i + j - 2] = static_cast<float>(f0 + j * (f1 - f0) / (m + 1));
    }
    i = l + 1;
  }
  for (int k = 1; k <= n; ++k)
    if (tw.daily[k - 1].flowflag == FLOW_NEGATIVE) F[k - 1] = 0.0f;
}

}  // namespace

namespace tw::test {
void failNextSeparationAllocation(int which) { failAllocation = which; }
}  // namespace tw::test

void passfilter(std::span<float> Q, std::span<float> Y, int N, int first, int last, int step,
                float a) {
  if (step == 0) return;
  const int count = (last - first + step) / step;
  if (count < 1) return;
  const int lastk = first + (count - 1) * step;
  const int size = static_cast<int>(std::min(Q.size(), Y.size()));
  const int lo = std::min(first - step, lastk), hi = std::max(first - step, lastk);
  if (lo < 1 || hi > size) return;

  const long double al = a;
  const long double c = (1.0L + al) * 0.5L;
  // The recursion runs on the unclamped quickflow and the pass's input as they were, and
  // clamping touches only element k; so clamping element k right after computing it gives
  // the same as a second loop over the pass, without a second trip through the arrays.
  long double qprev = Q[first - step - 1];
  long double yprev = Y[first - step - 1];
  for (int j = 0, k = first; j < count; ++j, k += step) {
    const long double yk = Y[k - 1];
    const float q = static_cast<float>(al * qprev + c * (yk - yprev));
    qprev = q;
    yprev = yk;
    // No negative (or undefined) quickflow; the baseflow stays within 0 and the pass's input.
    const float qc = q >= 0.0f ? q : 0.0f;
    const long double y = yk - qc;
    Q[k - 1] = qc;
    Y[k - 1] = y < 0.0L ? 0.0f : static_cast<float>(y);
  }
}

void baseflowseparation() {
  TwVars& tw = twvars;
  const int n = std::min(tw.ndays, MAXDAYS);
  if (n < MINDAYS) {
    refuse("The record is too short for baseflow separation: at least 31 days of flow are needed.");
    return;
  }
  const int N = n + 2 * PAD;
  WorkArray Fw = allocatework(1, n);
  WorkArray Yw = Fw ? allocatework(2, N) : nullptr;
  WorkArray Qw = Yw ? allocatework(2, N) : nullptr;
  if (!Qw) {
    refuse("Sorry, insufficient memory to perform task");
    return;
  }
  float* F = Fw.get();
  std::span<float> Y(Yw.get(), static_cast<std::size_t>(N));
  std::span<float> Q(Qw.get(), static_cast<std::size_t>(N));

  fillgaps(tw, n, F);

  for (int i = 1; i <= n; ++i) Y[PAD + i - 1] = F[i - 1];
  for (int j = 1; j <= PAD; ++j) Y[j - 1] = F[32 - j - 1];
  for (int j = 1; j <= PAD; ++j) Y[n + PAD + j - 1] = F[n - j - 1];

  const float a = tw.filterparam;
  Q[0] = Y[0];
  passfilter(Q, Y, N, 2, N, 1, a);
  for (int p = 2; p <= tw.passes; ++p) {
    if (p % 2 == 0) passfilter(Q, Y, N, N - 1, 1, -1, a);
    else passfilter(Q, Y, N, 2, N, 1, a);
  }

  long double sumbase = 0.0L, sumflow = 0.0L;
  for (int i = 1; i <= n; ++i) {
    DailyRecord& d = tw.daily[i - 1];
    switch (d.flowflag) {
      case FLOW_MISSING:
        d.quickflow = d.baseflow = MISSING;
        break;
      case FLOW_NEGATIVE:
        d.quickflow = d.baseflow = 0.0f;
        break;
      default:
        d.quickflow = Q[PAD + i - 1];
        d.baseflow = Y[PAD + i - 1];
        break;
    }
    if (d.flowflag != FLOW_MISSING) {
      sumbase += d.baseflow;
      sumflow += d.flow;
    }
  }
  // Without a positive total flow the index is undefined (and would divide by zero).
  tw.BFI = sumflow > 0.0L ? static_cast<float>(sumbase / sumflow) : MISSING;
  tw.errorflag = 0;
  tw.status = 3;
}
