// The audio library's start and end.
#pragma once

// Starts PortAudio with the messages of alsa-lib and libjack silenced, once;
// the player thread calls it when nobody did before. It may take long, or
// never return when the sound stack hangs, so the game leaves it to the
// player.
void initialize_audio();
// Stops every sound thread (see stop_sound_threads), waiting at most
// SHUTDOWN_WAIT_MS, then PortAudio. Returns 0 when done; 1 when a sound
// thread is still stuck inside PortAudio, which is then left running: the
// caller ends the process without tearing anything down.
int terminate_audio();
const int SHUTDOWN_WAIT_MS = 500;

// For the sound module's own files.
//
// Has the audio library started off the player's path, on a thread of its
// own, or by the caller when no thread can be made for it.
void start_audio_library();
// Waits until the audio library is up or has failed to start. Returns
// false when the stop is forced first.
bool wait_for_audio();
