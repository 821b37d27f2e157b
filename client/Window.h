#ifndef CUBEFRAY_WINDOW_H
#define CUBEFRAY_WINDOW_H

// Prints msg and SDL's error text, quits SDL and ends the process with status 1.
[[noreturn]] void sdldie(const char* msg);
// Prints and clears SDL's error text, if there is one; line -1 leaves out the line number.
void checkSDLError(int line);

#endif
