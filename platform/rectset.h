#pragma once
// A region as a set of non-overlapping rectangles: the window layer's update regions and
// visible areas. Invariant: no two rectangles overlap and none is empty.
#include <algorithm>
#include <vector>

#include "platform/win.h"

namespace win {

class RectSet {
 public:
  RectSet() = default;
  explicit RectSet(const RECT& r) { add(r); }

  bool empty() const { return rects_.empty(); }
  const std::vector<RECT>& rects() const { return rects_; }
  void clear() { rects_.clear(); }

  static bool isEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
  static RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (isEmpty(r)) return RECT{};
    return r;
  }

  void add(const RECT& r) {
    if (isEmpty(r)) return;
    std::vector<RECT> pieces{r};
    for (const RECT& have : rects_) {
      std::vector<RECT> next;
      for (const RECT& p : pieces) cut(p, have, next);
      pieces.swap(next);
      if (pieces.empty()) return;
    }
    rects_.insert(rects_.end(), pieces.begin(), pieces.end());
  }
  void add(const RectSet& o) {
    for (const RECT& r : o.rects_) add(r);
  }

  void subtract(const RECT& r) {
    if (isEmpty(r)) return;
    std::vector<RECT> next;
    for (const RECT& have : rects_) cut(have, r, next);
    rects_.swap(next);
  }
  void subtract(const RectSet& o) {
    for (const RECT& r : o.rects_) subtract(r);
  }

  void intersect(const RECT& r) {
    std::vector<RECT> next;
    for (const RECT& have : rects_) {
      RECT i = intersect(have, r);
      if (!isEmpty(i)) next.push_back(i);
    }
    rects_.swap(next);
  }
  void intersect(const RectSet& o) {
    RectSet out;
    for (const RECT& a : rects_)
      for (const RECT& b : o.rects_) {
        RECT i = intersect(a, b);
        if (!isEmpty(i)) out.rects_.push_back(i);   // pieces of disjoint sets stay disjoint
      }
    rects_.swap(out.rects_);
  }

  void offset(int dx, int dy) {
    for (RECT& r : rects_) {
      r.left += dx; r.right += dx;
      r.top += dy; r.bottom += dy;
    }
  }

  RECT bounds() const {
    if (rects_.empty()) return RECT{};
    RECT b = rects_.front();
    for (const RECT& r : rects_) {
      b.left = std::min(b.left, r.left);
      b.top = std::min(b.top, r.top);
      b.right = std::max(b.right, r.right);
      b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
  }

  bool contains(POINT p) const {
    for (const RECT& r : rects_)
      if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return true;
    return false;
  }

  long long area() const {
    long long a = 0;
    for (const RECT& r : rects_) a += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
    return a;
  }

 private:
  // The parts of a that lie outside b, appended to out.
  static void cut(const RECT& a, const RECT& b, std::vector<RECT>& out) {
    RECT i = intersect(a, b);
    if (isEmpty(i)) {
      out.push_back(a);
      return;
    }
    if (a.top < i.top) out.push_back(RECT{a.left, a.top, a.right, i.top});
    if (i.bottom < a.bottom) out.push_back(RECT{a.left, i.bottom, a.right, a.bottom});
    if (a.left < i.left) out.push_back(RECT{a.left, i.top, i.left, i.bottom});
    if (i.right < a.right) out.push_back(RECT{i.right, i.top, a.right, i.bottom});
  }

  std::vector<RECT> rects_;
};

}  // namespace win
