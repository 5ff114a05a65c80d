// The layout of the game's message dialogs.
#pragma once

class Fl_Window;

// Called right before each of the game's message dialogs (fl_input,
// fl_message, fl_alert ...): the dialog is titled "Varnel", opens centred
// over the window `over` (the main window) rather than at the pointer, and
// its input field is as high as its text needs at the game's text size.
void prepare_dialog(Fl_Window *over);
