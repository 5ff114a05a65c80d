// Ending the game cleanly when the system asks it to (SIGTERM, SIGHUP).
#pragma once

// From now on SIGTERM and SIGHUP run quit from the event loop, as the Quit
// command would run; a second such signal ends the game at once. A SIGHUP
// that the game was started ignoring (nohup) stays ignored.
void quit_on_signals(void (*quit)());
