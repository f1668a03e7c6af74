#pragma once
// The Windows metafile driver (hardcopy device 11) and the Windows printer driver (device
// 10): twins that turn device requests into calls of the metafile and printer drawing
// layers, in integer device units truncated towards zero, y downwards.

void xxwmf(int& code);
void xxwin(int& code);
// Hardcopy option 6 applied to a colour: 1 every colour complemented, 2 only near-black and
// near-white (all three below 10 or all above 245) exchanged; other values leave it.
void yywmf1(int& red, int& green, int& blue);
void yywin1(int& red, int& green, int& blue);
// A printer's colour count as the drivers keep it: the platform reports -1 for a printer of
// more than 256 colours, which is a colour printer (256), not a monochrome one.
int yytruecolours(int count);
// Registers devices 10 and 11 with the hardcopy manager and the window dump with the screen
// driver.
void yyinstallwinprint();
