#pragma once
// The dialog manager's front routines: loading, showing, hiding, unloading and selecting
// dialogs, the field operations on the current dialog, the numeric field setters and the
// dialog queries. Every routine acts on the current dialog (CURDIALOG of tessar.dialog) and
// records its failures under its own name; texts are blank-padded fixed-length fields.
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Table, loading and showing. Modes: 1 modal, 2 modeless, 3 semi-modeless.
void WDialogLoad(int resource, std::optional<int> identifier = std::nullopt,
                 std::optional<int> window = std::nullopt);
void WDialogShow(std::optional<int> x = std::nullopt, std::optional<int> y = std::nullopt,
                 std::optional<int> field = std::nullopt, std::optional<int> mode = std::nullopt);
void WDialogHide();
void WDialogUnload(std::optional<int> flag = std::nullopt);
void WDialogSelect(int identifier);

// Numeric fields.
void WDialogSpinnerStep(int field, float small, std::optional<float> large = std::nullopt);
void WDialogRangeInteger(int field, std::optional<int> minimum = std::nullopt,
                         std::optional<int> maximum = std::nullopt);

// Field operations.
void WDialogPutString(int field, std::string_view text);
void WDialogGetString(int field, std::string& text);
void WDialogGetStringLength(int field, int& length);
void WDialogPutInteger(int field, int value);
void WDialogPutReal(int field, float value, std::optional<std::string_view> format = std::nullopt);
void WDialogPutDouble(int field, double value, std::optional<std::string_view> format = std::nullopt);
void WDialogGetInteger(int field, int& value);
void WDialogGetReal(int field, float& value);
void WDialogPutCheckBox(int field, int state);
void WDialogGetCheckBox(int field, int& state);
void WDialogPutRadioButton(int field);
void WDialogGetRadioButton(int field, int& position);
void WDialogPutOption(int field, int option);
void WDialogGetMenu(int field, int& option, std::string* text = nullptr);
void WDialogPutMenu(int field, std::span<const std::string> texts, int count, int option,
                    std::optional<std::string_view> text = std::nullopt);
void WDialogColour(int field, std::optional<int> foreground = std::nullopt,
                   std::optional<int> background = std::nullopt);
void WDialogTitle(std::optional<std::string_view> title = std::nullopt,
                  std::optional<int> icon = std::nullopt);
void WDialogSetField(int field, std::optional<int> position = std::nullopt);
void WDialogFieldState(int field, int state);
void WDialogFieldOptions(int field, int option, int value);

// Queries.
int winfodialog(int item);
int winfodialogfield(int field, int item);
