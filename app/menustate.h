#pragma once
// The main menu's state by analysis status, the status-bar file text, and the main window's
// command table. The tables are answered separately from the calls so that they can be
// checked without a window.
#include <array>
#include <optional>
#include <string>

// The eleven File and Analysis items, in the order their states are set.
inline constexpr std::array<int, 11> kMenuStateItems = {40024, 40009, 40006, 40027, 40005, 40004,
                                                        40016, 40007, 40015, 40012, 40008};

// Enabled (1) or disabled (0) for each item above; nothing for a status outside 0..4.
std::optional<std::array<int, 11>> menustate_row(int status);

// "Tarnwalker file:   None" at status 0, else the label and the file name without trailing
// blanks.
std::string statusbar_filetext(int status, const std::string& filename);

// Sets the main menu and toolbar states and the status-bar file text from twvars; a status
// outside 0..4 changes nothing.
void setmenustate();

// What a main-menu command identifier does.
enum class MainCommand {
  None, NewDaily, Exit, Save, BaseflowSeparation, TrendAnalysis, Open, NewAnnual, Help,
  AggPeriod, ReviewFlows, New, About, BrowseFile, SaveAs, UserManual
};
MainCommand maincommand(int id);
