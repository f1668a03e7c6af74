#pragma once
// Aggregation of the daily records of twvars into annual records over the aggregation
// period (month flags of twvars): one record for every aggregation year with an in-period
// day inside the daily record, labelled with the calendar year in which it ends, at most
// 165. No arguments: works on twvars.
void dailytoannual();
