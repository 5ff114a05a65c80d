// The player's language: the game's texts come from its message catalogue.
#pragma once

#include <libintl.h>

// A text the player sees, in the player's language.
#define _(text) gettext(text)
// Marks a text for the catalogue where it is stored (a static table); it is
// looked up with _() where it is shown.
#define N_(text) text

// Takes the player's language from the environment (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG) and opens the catalogue: beside the executable when it
// runs from its build tree, else in the installed tree. Only the messages'
// and the characters' categories follow the environment: numbers and dates
// read and written in the game's files stay as they are in every language.
// Also translates the toolkit's own button texts.
void start_language();

// The language of the catalogue in use, as speech services name languages
// ("de", "pt-br"), or "" when the game shows its own English texts. Set by
// start_language, before any thread of the game starts.
const char *catalogue_language();
