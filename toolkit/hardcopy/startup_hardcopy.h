#pragma once
// What start-up needs of the hardcopy subsystem: the temporary print and dump file names
// and the plotter selection.

// Names 4 and 5 of FileNames: the temporary directory ("TEMP", else "TMP", else "/tmp")
// with a separator, then "vxk$$", the first two-digit number 00-99 whose file does not
// exist, and ".plt" or ".dmp".
void yytmpprn();

// Plotter model 1-10 selects that model; 11-15 select plotter 1 and HP-GL/2 printer type
// model - 10; any other value selects plotter 1.
void iplotter(int model);
