#pragma once
// The chart definition: starting a chart with its type, sets, values, options and per-type
// default looks, and the chart defaults that the graphics reset puts back.
#include <optional>
#include <span>

// nvalues: values per set in up to three dimensions; only the first is read unless the
// chart is one of the 3-D kinds.
void ipgnewplot1(int type, int nsets, std::span<const int> nvalues,
                 std::optional<int> options = std::nullopt,
                 std::optional<int> defaults = std::nullopt);
void ipgnewplot2(int type, int nsets, std::span<const int> nvalues,
                 std::optional<int> options = std::nullopt,
                 std::optional<int> defaults = std::nullopt);
// The chart defaults of the graphics reset (igrinit), after its IGrUnits (0, 0, 1, 1).
void yypgreset();
// Marker frequency of a line chart of n values: 1, 2, 5, 10, 20, 50, ...
int yypgmarkerfreq(int n);
