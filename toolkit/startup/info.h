#pragma once
// Information queries: the toolkit's file and directory names, facts about the system,
// the names of the selected hardcopy device models, the clock and the version.
#include <string>

// Name or directory of item into text (1 dump file, 2 driver output, 3 character-set file,
// 5 character-set directory, 7 home directory, 8 system directory, 9 stroke font or "H",
// 10 temporary directory, 11 a new temporary file name); error 1023 when it does not fit,
// except for items 10 and 11.
void WInfoFilename(int item, std::string& text);
// Value of a system item; an unknown item gives the previous call's value.
int winfosystem(int item);
// Name of the selected model of driver 1 (raster printer), 2 (plotter) or 3 (HP-GL/2
// printer type); error 1023 when the text is shorter than the name's field.
void WInfoDeviceName(int driver, std::string& name);
// Milliseconds since the system started, 0 to 2147483647.
void yysystime(int& time);
void winfoversion(std::string& text);
