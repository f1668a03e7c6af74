#pragma once
// The program itself: start-up of the main window, the main loop with its command table,
// the exit sequence, the about dialog, the text-file browser, and the file commands New,
// Open and Save as.

// Starts the toolkit (unless the caller has), opens the main window with its menu, toolbar
// and status bar, resets the project and shows the about dialog.
void mainprogram_start(bool initialise = true);
// One turn of the main loop: menu state, one event, its command. True when the program is
// to stop (the exit sequence ran to its end).
bool mainprogram_turn();
// The save question and the closing of the main window; false when the user's save failed
// and the program goes on.
bool exitsequence();
void displayabout();
void browsefile();

// File commands.
void filenew();
void filesaveas();
void fileopen();
