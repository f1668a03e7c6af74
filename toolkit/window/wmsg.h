#pragma once
// Event loop and event record: wmessage hands the program one enabled event at a time,
// built by the window procedures through yyinterpretmessage in the current-event store.
//
// Current-event store, enable flags and deferral slots: started by the program (all empty,
// every enable flag 0); the enable flags take their defaults when the root window opens and
// when it closes. Written by yyinterpretmessage and the window procedures (store, slots),
// the grid control (type 10 events directly), wmessageenable (flags). Read by wmessage.
#include <array>

#include "platform/win.h"
#include "toolkit/state/core_state.h"

// Event types.
enum EventType {
  EV_KEY = 1, EV_COMMAND = 2, EV_PUSHBUTTON = 3, EV_MOUSEDOWN = 4, EV_MOUSEUP = 5,
  EV_MOUSEMOVE = 6, EV_EXPOSE = 7, EV_RESIZE = 8, EV_CLOSE = 9, EV_FIELDCHANGED = 10,
  EV_TABCHANGED = 11, EV_FRAMEBUTTON = 12, EV_TIMER = 13, EV_COMMANDLINE = 14,
  EV_VIEWERSCROLLED = 15, EV_DOUBLECLICK = 16
};

// Origins of positional events (value3).
enum EventOrigin { ORIGIN_WINDOW = 0, ORIGIN_FIELD = 1, ORIGIN_VIEWER = 2 };

// Current-event store.
inline int wMessageType = 0, wMessageWin = 0;
inline int wMessageValue1 = 0, wMessageValue2 = 0, wMessageValue3 = 0, wMessageValue4 = 0;
inline int wMessageX = 0, wMessageY = 0, wMessageTime = 0;
inline int wValidMessage = 0;   // 1 while the pump waits, 0 once an event is completed

inline std::array<int, 16> wMessageEnabled{};
inline constexpr std::array<int, 16> wMessageDefault{1, 1, 1, 1, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0};

// Deferral slots: 0-50 one expose or resize per window, 51 one field change.
struct DeferredEvent {
  int type = 0, value1 = 0, value2 = 0, value3 = 0, value4 = 0, x = 0, y = 0, window = 0, time = 0;
};
inline std::array<DeferredEvent, 52> VXKMessages{};

inline int bInWMessage = 0, bSetFromCell = 0, bExpectPaintResize = 0, block118 = 1;
inline int TimerEnabled = 0;
inline unsigned wCompletions = 0;   // counts completed events, so a procedure sees its own

void wmessage(int& ITYPE, MessageRecord& MESSAGE);
void wmessageenable(int ITYPE, int IFLAG);
void yyenablemessage(int ITYPE, int IFLAG);
void yyinfomessage(int ITYPE, int& IFLAG);
void yydispatchnextmessage(int& ITYPE, int& value1, int& value2, int& value3, int& value4,
                           int& x, int& y, int& window, int& time);
void yydispatchpeekmessage(int& ITYPE, int& value1, int& value2, int& value3, int& value4,
                           int& x, int& y, int& window, int& time);
void yyinterpretmessage(int type, int button, win::WPARAM wParam, win::LPARAM lParam, win::HWND hwnd);
int yyinterpretkey(int vk, int offset);
int yymousemodifiers(win::WPARAM keys);
void yyevent(int& ITYPE, MessageRecord& MESSAGE);
void yysettimer(int milliseconds, int id, int which);
void yywait(int N);
void yycurrenttime(int& T);
// A field change of a dialog, completed or held back as the event rules say.
void yyfieldchange(int dialog, int previousfocus, int changed, int previouscode, int code);

// How the window procedures pass the dialog forms: the window handle is the dialog window;
// type 3: wParam the button, lParam the focus field; type 10: wParam the previous field
// (low half) and the changed field (high half), lParam the code passed now, button the
// code passed with the previous change; type 11: wParam and lParam the pages left and shown;
// types 104-108 and 116: wParam the field, lParam the position in the field's pixels (108:
// its new size), button the mouse button (108: the size kind).
// The dialog layer names the identifier of a dialog window when it starts; without it,
// dialog events carry -1.
inline int (*dialogidentifierof)(win::HWND dialog) = nullptr;
int yydialogidentifier(win::HWND dialog);
