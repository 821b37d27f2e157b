#ifndef CUBEFRAY_CONTROLSINPUT_H
#define CUBEFRAY_CONTROLSINPUT_H

#include "Bindings.h"
#include "ControlsPage.h"
#include "Display.h"
#include "Settings.h"

#include <SDL.h>

// The Controls page and the program's inputs: the page is shown the inputs' names as the layout
// prints them, and while it is open it has every event. A binding it changes takes effect at
// once and is written to the settings file.
class ControlsInput {
  public:
    ControlsInput(Bindings& bindings, Settings& settings, Display& display);

    void open(ControlsPage& page) const;
    // The events the open page takes from whatever lies under it: presses.
    static bool isPageEvent(const SDL_Event& event);
    // The page's event, while it is open; true when the page went back.
    bool handle(const SDL_Event& event, ControlsPage& page) const;

  private:
    void result(ControlsPage::Result result, ControlsPage& page) const;
    void showNames(ControlsPage& page) const;

    Bindings& bindings;
    Settings& settings;
    Display& display;
};

#endif
