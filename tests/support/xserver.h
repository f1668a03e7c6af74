#pragma once
// A private X server for the tests that run on a real display: Xvfb on a display number it
// picks itself, with the shell commands (xdotool, ImageMagick, xwd) that drive and photograph
// it. Test support only: it stays outside the program's own layers.
#include <cairo.h>

#include <functional>
#include <string>

#include "platform/win.h"

namespace tw::test {

// Starts Xvfb (1024 x 768, 24 bits; blackRoot: a black root window rather than the stipple)
// and points DISPLAY and GDK at it, without accessibility bus; false when it did not start.
bool startXvfb(bool blackRoot = true);
// Ends the server started last, if any.
void stopXvfb();
// ":N", the display of the running server.
const std::string& xDisplay();

// Runs command through the shell: its standard output, with its exit status in status.
std::string runCommand(const std::string& command, int& status);
// Runs command with its output and errors dropped: true when it exits with status 0.
bool sh(const std::string& command);

// A PNG file (a screenshot) as a cairo image; nullptr when it cannot be read.
cairo_surface_t* loadPng(const std::string& path);
// The whole X screen through xwd and ImageMagick, kept as the PNG file png and read back;
// nullptr when a command failed.
cairo_surface_t* xwdScreenshot(const std::string& png);
// The colour of a pixel of an image; 0xFFFFFFFF outside it.
win::COLORREF pixelAt(cairo_surface_t* image, int x, int y);

// Runs the message loop on GetMessage until done() or the seconds have passed (a timer wakes
// the loop so that the limit is seen); false when the time ran out or the loop was told to quit.
bool pumpUntil(const std::function<bool()>& done, int seconds = 10);

}  // namespace tw::test
