// What the desktop knows the game's windows by.
#pragma once

// Gives every window made from now on the X class "varnel", which the desktop
// entry names as StartupWMClass, and the game's icon; call it before the
// first window is shown.
void set_window_class_and_icon();
