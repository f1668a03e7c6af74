#pragma once
// Aggregation of the daily records of twvars into annual records over the aggregation
// period (month flags of twvars). No arguments: works on twvars.
void dailytoannual();
