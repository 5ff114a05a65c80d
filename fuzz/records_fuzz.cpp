// Any bytes as the records file's text: the reader must not fail, and
// records it reads must come back the same from the text written for them,
// within the file's bound, also after one more result of each kind.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  Records read;
  if (!read_records_text(std::string((const char *)data, size), &read)) return 0;
  for (int event = EVENT_PLAYED; event <= EVENT_RESET; event++) {
    RecordResult result;
    result.event = (RecordEvent)event;
    result.page = (int)(size % RECORD_PAGES);
    result.counted = size % 2;
    result.win = {999999999, 99999999999LL, 4294967295L};
    std::string text = records_text(read);
    Records again;
    if (!read_records_text(text, &again) || records_text(again) != text) abort();
    if (text.size() > RECORDS_TEXT_MAX_BYTES) abort();
    apply_result(read, result);
  }
  return 0;
}
