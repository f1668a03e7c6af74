#pragma once
// The interactive baseflow separation: the root window turned into the separation view with
// its menu and toolbar, the plot, and the parameter dialog 110 beside it.

// Runs the view until it is left for the main menu (a separation already run).
void bfsep_main();
// Shows the parameter dialog and runs it until "Finished".
void bfinteract_dialog();
// The zoom and scroll buttons of the dialog (1022-1027, 1037, 1038) on the shown range.
void sepzoom(int button);
