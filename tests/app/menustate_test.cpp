// Main menu: the state table by analysis status, the status-bar file text, the command table.
#include <algorithm>

#include "app/menustate.h"

#include <gtest/gtest.h>

TEST(MenuState, RowsByStatus) {
  struct Case { int status; std::array<int, 11> row; };
  const Case cases[] = {
      {0, {1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0}},
      {1, {1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}},
      {2, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0}},
      {3, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {4, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
  };
  for (const auto& c : cases) {
    const auto row = menustate_row(c.status);
    ASSERT_TRUE(row) << c.status;
    EXPECT_EQ(*row, c.row) << "status " << c.status;
  }
  // Out of range changes nothing: no row at all.
  for (int s : {-1, 5, 99}) EXPECT_FALSE(menustate_row(s)) << s;
  // Help items are never in the set list.
  for (int id : {40014, 40028, 40025, 40026})
    EXPECT_EQ(std::count(kMenuStateItems.begin(), kMenuStateItems.end(), id), 0) << id;
}

TEST(MenuState, StatusBarText) {
  std::string name = "/tmp/gauge.tw" + std::string(40, ' ');
  EXPECT_EQ(statusbar_filetext(0, name), "Tarnwalker file:   None");
  EXPECT_EQ(statusbar_filetext(3, name), "Tarnwalker file:   /tmp/gauge.tw");
  EXPECT_EQ(statusbar_filetext(1, std::string(20, ' ')), "Tarnwalker file:   ");
}

TEST(MainCommandTable, EveryIdentifierReachesItsAction) {
  using C = MainCommand;
  const std::pair<int, C> cases[] = {
      {40004, C::NewDaily}, {40005, C::Exit}, {40006, C::Save}, {40007, C::BaseflowSeparation},
      {40008, C::TrendAnalysis}, {40009, C::Open}, {40012, C::NewAnnual}, {40014, C::Help},
      {40015, C::AggPeriod}, {40016, C::ReviewFlows}, {40024, C::New}, {40025, C::About},
      {40026, C::BrowseFile}, {40027, C::SaveAs}, {40028, C::UserManual},
      {40010, C::None}, {40011, C::None}, {40013, C::None}, {40017, C::None}, {40023, C::None},
      {40003, C::None}, {40029, C::None}, {0, C::None}, {-40004, C::None}};
  for (const auto& [id, action] : cases) EXPECT_EQ(maincommand(id), action) << id;
}
