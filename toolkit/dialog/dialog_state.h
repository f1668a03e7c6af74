#pragma once
// The dialog manager's region of tessar.
struct DialogState {
  int CURDIALOG = 0;        // current dialog identifier, 0 none
  int DECIMALSUBST = 0;     // decimal-substitution flag of the number conversions
  int DLGANSWER = 0;        // answer of the last standard dialog
  int FOCUSFIELD = 0;       // field focused when the last modal dialog ended (item 2)
  int EXITBUTTON = 0;       // push button that ended the last modal dialog (item 1)
  int DLGACTIVE = 0;        // dialog whose modal run ended last (item 5)
  int EmptyInteger = -999;  // EmptyFieldValues
  float EmptyReal = -999.0f;
  double EmptyDouble = -999.0;
};
