#pragma once
// The dialogs through which data comes into the project: the daily data entry (start date,
// then the grid of flow and rain, typed or pasted), the review of the daily record, the
// aggregation period and the annual user variables. Each runs its own loop on wmessage and
// works on twvars.
//
// A daily flow at or below the missing value is a missing day (storeflow, app/modules.h).

void newdaily();
// Run by newdaily after OK, with the start date in twvars; false when cancelled.
bool newdaily_dataentry();
// The daily records from the entry grid (field 1008 of the dialog up), replacing the project;
// what OK in the entry stores.
void storedaily();
void reviewflows();
void aggperiod();
void newannual();
