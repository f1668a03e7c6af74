#pragma once
// Drawing targets and in-memory metafiles: the choice of the surface drawn on (a toolkit
// window, a numbered bitmap, a graphics field of the current dialog, a metafile slot), and
// the slots that record enhanced metafiles in memory and play them back.
//
// Slots are numbered 1-20 by the public routines and 0-19 inside the metafile module.
#include <optional>
#include <string_view>

#include "platform/gdi.h"

// The recording context of each slot (or a marker once it holds a finished metafile) and
// the finished metafile (none while recording).
inline win::HDC MetafileDC[20] = {};
inline win::HENHMETAFILE hMetafile[20] = {};

void IGrSelect(int type, std::optional<int> number = std::nullopt);
void yymetafileselect(int slot, int& failed, int& width, int& height);
void WMetafileDestroy(int slot);
// Starts recording in slot 1-20 a picture width x height points, replacing what the slot
// held; the recording takes what is drawn while the slot is the target (IGrSelect (4)).
void WMetafileCreate(int slot, int width, int height);
// Plays slot 1-20 on the current target into the box with corners (x1, y1) and (x2, y2) in
// graphics units; a slot still recording is finished first.
void WMetafilePlay(int slot, float x1, float y1, float x2, float y2);

// Writes slot 1-20 (finishing a recording first) as an enhanced-metafile file; error 1060 for
// a slot without a metafile, 1 (with the system's code) when the file cannot be written.
void WMetafileSave(int slot, std::string_view name);
// Reads an enhanced-metafile file into slot 1-20, replacing what it held, to be played; its
// size is the file's frame. Error 1060 for a slot outside 1-20, 1 when the file cannot be
// opened, 2 when it cannot be read whole or is no enhanced metafile.
void WMetafileLoad(int slot, std::string_view name);

void yymetafileselect2(int index, int width, int height, int& failed);
void yymetafilecreate(int index, int width, int height, int& hres, int& vres, int& hsize, int& vsize);
void yymetafiledestroy(int index);
void yymetafileplay(int index, int x1, int y1, int x2, int y2);
// failed 0, or 1 with the system's code in oserror.
void yymetafilesave(int index, int& failed, int& oserror, std::string_view name);
// failed 0, 1 (cannot open, oserror) or 2 (short read or no metafile); count bytes are read.
void yymetafileload(int index, int count, int& failed, int& oserror, std::string_view name);
