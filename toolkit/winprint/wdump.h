#pragma once
// The window dump: the screen driver's drawing (gDC) copied into a device-independent bitmap
// and stretched over one page of the Windows printer. One dump at a time: start, blit when
// the start succeeded, end.
#include <string_view>

// Starts a print job of one page. Sizes and margins in points; error 0 on success, 1 when
// no printer device context or no job could be had (the context is then released at once).
void yywindumpstart(int& width, int& height, int& left, int& top, int& error, int& landscape, int& copies,
                    std::string_view name);
// Puts the inclusive rectangle x1..x2, y1..y2 of gDC (y down) over the page's image area;
// error 1 when the copy could not be made or drawn.
void yywindumpblit(int& x1, int& y1, int& x2, int& y2, int& error);
// Ends the page and the job and releases the printer device context.
void yywindumpend();

// Hands the three to the screen driver's request 20, with the page of DumpSettings and the
// current hardcopy name as the document name.
void yyinstallwindump();
