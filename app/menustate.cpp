#include "app/menustate.h"

#include "app/modules.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/wmenus.h"

std::optional<std::array<int, 11>> menustate_row(int status) {
  // Columns: New, Open, Save, Save as, Exit, daily entry, review, separation, aggregation
  // period, annual entry, regression.
  static constexpr std::array<std::array<int, 11>, 4> rows = {{
      {1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0},
      {1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0},
      {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0},
      {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
  }};
  if (status < 0 || status > 4) return std::nullopt;
  return rows[static_cast<std::size_t>(status == 4 ? 3 : status)];
}

std::string statusbar_filetext(int status, const std::string& filename) {
  if (status == 0) return "Tarnwalker file:   None";
  const auto end = filename.find_last_not_of(' ');
  return "Tarnwalker file:   " + (end == std::string::npos ? std::string() : filename.substr(0, end + 1));
}

void setmenustate() {
  const auto row = menustate_row(twvars.status);
  if (!row) return;
  for (std::size_t i = 0; i < kMenuStateItems.size(); ++i) WMenuSetState(kMenuStateItems[i], 1, (*row)[i]);
  windowoutstatusbar(1, statusbar_filetext(twvars.status, twvars.filename));
}

MainCommand maincommand(int id) {
  using C = MainCommand;
  // Indexed by identifier - 40004; the plot-window commands do nothing here.
  static constexpr std::array<C, 25> table = {
      C::NewDaily, C::Exit, C::Save, C::BaseflowSeparation, C::TrendAnalysis, C::Open,
      C::None, C::None, C::NewAnnual, C::None, C::Help, C::AggPeriod, C::ReviewFlows,
      C::None, C::None, C::None, C::None, C::None, C::None, C::None,
      C::New, C::About, C::BrowseFile, C::SaveAs, C::UserManual};
  if (id < 40004 || id > 40028) return C::None;
  return table[static_cast<std::size_t>(id - 40004)];
}
