#pragma once
// The platform controls the dialog manager drives, in one include.
#include "platform/combobox.h"
#include "platform/edit.h"
#include "platform/listbox.h"
#include "platform/progress.h"
#include "platform/scrollbar.h"
#include "platform/tab.h"
#include "platform/trackbar.h"
#include "platform/treeview.h"
#include "platform/updown.h"
#include "platform/win.h"
