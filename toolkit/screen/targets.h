#pragma once
// Drawing targets and in-memory metafiles: the choice of the surface drawn on (a toolkit
// window, a numbered bitmap, a graphics field of the current dialog, a metafile slot), and
// the slots that record enhanced metafiles in memory and play them back.
//
// Slots are numbered 1-20 by the public routines and 0-19 inside the metafile module.
#include <optional>

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

void yymetafileselect2(int index, int width, int height, int& failed);
void yymetafilecreate(int index, int width, int height, int& hres, int& vres, int& hsize, int& vsize);
void yymetafiledestroy(int index);
void yymetafileplay(int index, int x1, int y1, int x2, int y2);
