// Speech through the desktop's speech service, speech-dispatcher: the
// texts handed over here are said by a thread of its own.
#pragma once

#include <string>

// How a text meets the ones before it, as the service's priorities do.
enum class SpeechPriority {
  TEXT = 3,   // interrupts the previous TEXT (where the focus is now)
  MESSAGE = 2 // waits its turn (what a move did)
};

// Hands the text over and returns at once; the GUI thread never waits for
// the service. The first text starts the speech thread, which loads the
// service's library then. A TEXT replaces the TEXT still waiting, if any;
// of more than a few waiting messages the oldest go.
void say(const std::string &text, SpeechPriority priority);

// Whether the service's library could be loaded, once the thread has tried.
enum class SpeechLibrary { NOT_TRIED, LOADED, MISSING };
SpeechLibrary speech_library();

// Drops what waits and closes the connection: speech was turned off.
void silence_speech();

// Ends the connection for good, waiting at most `seconds` for the thread to
// finish; false when it did not (it is stuck in a service that does not
// answer: the program may leave without it). True when it never started.
bool stop_speech(double seconds);

// The texts handed to the service so far, and the last of them, for the
// tests and the benchmark.
long speech_texts_said();
