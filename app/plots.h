#pragma once
// The application's two plots, drawn in the current drawing target (the root window's client
// area, or an open hardcopy): the baseflow separation of the shown days and the result of the
// trend regression. Both read the data modules (app/modules.h) and take no arguments.

// Separation plot: the shown range becomes the whole record in linear scaling.
void initialiseplot();
// Clears the window and draws the total flow and baseflow of the shown days with the BFI in
// the title, the flow axis, date labels and a key.
void refreshplot();
// Chooses the days between first and last that get a date label, by the number shown.
void daylabels(int shown, int first, int last);
// Clears the window when the separation view is left.
void plotclear();

// Regression plot: observed and fitted annual baseflow and the trend line against the year.
void displayplot();
