#pragma once
// What start-up needs of the editor subsystem: the editor buffer table.

// Allocates EDITBUF for windows 0-50 by buffers 1-20, every record's name and text storage
// marked as not allocated.
void yyeditbufalloc();
