#pragma once
// The per-window records of one control class: made at WM_NCCREATE, dropped at WM_NCDESTROY,
// looked up on every other message (nullptr once the window is gone).
#include <unordered_map>

#include "platform/win.h"

namespace win {

template <class Record>
class ControlRecords {
 public:
  Record* find(HWND h) {
    auto it = records_.find(h);
    return it == records_.end() ? nullptr : &it->second;
  }
  Record& create(HWND h) { return records_[h] = Record{}; }
  Record& get(HWND h) { return records_[h]; }   // made empty if missing
  void erase(HWND h) { records_.erase(h); }

 private:
  std::unordered_map<HWND, Record> records_;
};

}  // namespace win
