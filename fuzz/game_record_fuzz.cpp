// Any bytes as a kept game's text: the reader must not fail, and a game it
// reads must come back the same from the text written for it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  GameRecord read;
  if (!read_game_text(std::string((const char *)data, size), &read)) return 0;
  std::string text = game_text(read);
  GameRecord again;
  if (!read_game_text(text, &again) || game_text(again) != text) abort();
  if (again.undo.size() > (size_t)UNDO_LIMIT || text.size() > GAME_TEXT_MAX_BYTES) abort();
  return 0;
}
