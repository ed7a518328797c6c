// Child controls of the player's windows, placed in client coordinates as designed (96-DPI units,
// scaled to the window's DPI), in the dialog font of the system.
#pragma once

#include <windows.h>

#include <string>

namespace lumo::player {

HWND createButton(HWND parent, int id, const wchar_t* caption, int left, int top, int width, int height);
// The button Enter presses; give it the id IDOK, and the button Escape presses IDCANCEL.
HWND createDefaultButton(HWND parent, int id, const wchar_t* caption, int left, int top, int width, int height);

// The window is used from the keyboard as a Windows dialog is: Tab and Shift+Tab move between its
// controls, Enter presses IDOK, Escape IDCANCEL, Alt with an underlined letter its control.
void takeDialogKeys(HWND window);
// For the message loop: true when the message was a dialog key of such a window, and handled.
bool handleDialogKeys(MSG& message);
HWND createCheckBox(HWND parent, int id, const wchar_t* caption, int left, int top, int width, int height);
HWND createLabel(HWND parent, const wchar_t* caption, int left, int top);
// A multi-line edit with a vertical scroll bar.
HWND createMemo(HWND parent, int left, int top, int width, int height);
HWND createProgressBar(HWND parent, int left, int top, int width, int height);

// A label's width follows its text.
void setLabelText(HWND label, const std::wstring& text);
void setBounds(HWND control, int left, int top, int width, int height);
RECT boundsOf(HWND control); // in its parent's client coordinates, in 96-DPI units

} // namespace lumo::player
