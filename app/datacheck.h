#pragma once
// The data check of the daily record: counts of missing and negative flows and missing
// rain, the longest gaps, stored in twvars for the review dialog and shown to the user in
// one summary box titled "File opened".
#include <string>
#include <string_view>

// Counts days 1..ndays of twvars and shows the summary.
void inputdatacheck();

// The summary text of the counts now in twvars, whole (never cut), without trailing blanks.
std::string datachecksummary();

// One line of the review dialog: "- ", count as a percentage of ndays, caption, count,
// " days)" and a carriage return (a record of no days gives 0.0).
std::string datacheckline(int count, std::string_view caption);
