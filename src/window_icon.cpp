// The windows' class and icon.
#include "window_icon.h"

#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

#include "icon_pixels.h"

void set_window_class_and_icon() {
  const int count = sizeof icon_pixels / sizeof icon_pixels[0];
  // The toolkit makes the window property from these whenever a window is
  // shown, so they stay for the whole run.
  static const Fl_RGB_Image *images[count];
  for (int i = 0; i < count && !images[i]; i++)
    images[i] = new Fl_RGB_Image(icon_pixels[i].rgba, icon_pixels[i].w, icon_pixels[i].h, 4);
  Fl_Window::default_xclass("varnel");
  Fl_Window::default_icons(images, count);
}
