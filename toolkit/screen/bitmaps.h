#pragma once
// Numbered bitmaps: up to 50 screen-compatible bitmaps a program creates, draws into (as the
// graphics target of type 2), copies to and from the drawing target, edits pixel by pixel,
// mirrors, turns and resizes. Routines take the slot 0-49; the program's bitmap number is
// slot + 1. Results: 0, 1020 new bitmap failed, 1021 no such bitmap, 1036 shown in a
// viewer, 1066 copy failed. Colours are red + 256 green + 65536 blue.
#include <span>

#include "platform/win.h"

void yybitmapcreate(int& number, int width, int height, int colour);
void yybitmapdestroy(int slot, int& result);
void yybitmapget(int slot, int x, int y, int width, int height, int& result);
void yybitmapput(int slot, int stretch, int x, int y, int width, int height, int& result);
void yybitmappart(int slot, int x1, int y1, int x2, int y2, int width, int height, int direction, int& result);
// Pixel (x, y) of the rectangle is element (x2 - x1 + 1) (y - y1) + (x - x1).
void yybitmapgetdata(int slot, std::span<const int> colours, int x1, int y1, int x2, int y2, int& result);
void yybitmapputdata(int slot, std::span<int> colours, int x1, int y1, int x2, int y2, int& result);
void yybitmapgetresource(int slot, int resource, int& result);
void yybitmapresourceinfo(int resource, int& width, int& height);
void yybitmapmirror(int slot, int vertical, int& viewer, int& result);
// 0 copy, 1 OR, 2 AND, 3 XOR for get, put, part and resize; other values change nothing.
void yybitmapmode(int mode);
void yybitmapresize(int slot, int width, int height, int& viewer, int& result);
// angle 90, 180 or 270, counter-clockwise.
void yybitmaprotate(int slot, int angle, int& viewer, int& result);
void yybitmapsize(int slot, int& width, int& height);
// Makes the bitmap the drawing target; result 1 for a slot without a bitmap.
void yybitmapselect(int slot, int& result, int& width, int& height);
// The window number (1-50) of a bitmap viewer showing the bitmap, else 0.
int yybitmapisviewer(int slot);
// The slot's bitmap, nullptr for a slot without one.
win::HBITMAP yybitmaphandle(int slot);
// A bitmap viewer window's item: 3 the bitmap number shown, 4 and 5 the horizontal and
// vertical scroll positions, 101 and 102 the bitmap's size, 103 the vertical position of the
// visible bottom edge (plus the horizontal scroll bar's height when it shows); 0 otherwise.
void yybitmapinfo(int window, int item, int& value);
