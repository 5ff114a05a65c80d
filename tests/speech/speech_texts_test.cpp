// What speech says, as one table over board states.
#include <gtest/gtest.h>

#include <set>

#include "speech_texts.h"

TEST(SpeechTexts, OverBoardStates) {
  Cells board, full, directions;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++) {
      board[r][c] = r == 0 ? CELL_EMPTY : c < 12 ? c : CELL_DEAD;
      full[r][c] = 0;
      directions[r][c] = (r + c) % 8;
    }
  board[0][7] = 5;
  HintSwap hint = {0, 7, 1, 8};
  ScoreEntry scores[2] = {{"Ann", 23, 1}, {"Bo", 40, -2}};
  RecordPage page = {3, 2, 0, 2, 44, {{14, 0, 7}, {30, 0, -1}}};
  struct Row {
    const char *what;
    std::string said, expected;
  } rows[] = {
      {"colour", cell_text(board, nullptr, 2, 4, true), "row 3, column 5, sand"},
      {"arrow", cell_text(board, &directions, 5, 11, true), "row 6, column 12, orange, up"},
      {"along a row, brief", cell_text(board, &directions, 1, 1, false), "purple, right"},
      {"empty", cell_text(board, &directions, 0, 0, true), "row 1, column 1, empty"},
      {"dead", cell_text(board, &directions, 19, 19, true), "row 20, column 20, dead"},
      {"move", move_text(4, 12, board, false),
       "4 tiles cleared, move 12, 19 empty cells in the top row"},
      {"no match, brief", move_text(0, 3, full, true), "no match, top row full"},
      {"status", status_text(3, true, 1, board),
       "Stupid, arrow mode, 1 move, 19 empty cells in the top row"},
      {"row", row_text(board, nullptr, 0),
       "Row 1: empty; empty; empty; empty; empty; empty; empty; teal; empty; empty; empty; "
       "empty; empty; empty; empty; empty; empty; empty; empty; empty"},
      {"column", column_text(full, &directions, 2).substr(0, 36),
       "Column 3: red, right; red, down righ"},
      {"hint", hint_text(&hint), "Hint: row 1, column 8, with row 2, column 9"},
      {"no hint", hint_text(nullptr), "No swap clears"},
      {"new game", new_game_text(2, true), "New game, Hard, arrow mode"},
      {"name dialog", dialog_text("Player Name", true), "Player Name. Type it, then press Enter"},
      {"scores", scores_text(scores, 2),
       "Top scores; 1, Ann, Medium, 23 moves; 2, Bo, Hard Arrow, 40 moves"},
      {"records", records_page_text(page, 5),
       "Records, Hard, arrow mode: 3 played, 2 won, 66 percent; streak 0, longest 2; 1, 14 "
       "moves; 2, 30 moves"},
  };
  for (const Row &row : rows)
    EXPECT_EQ(row.said, row.expected) << row.what;
  // Twelve colours and eight directions, each told apart from the others.
  std::set<std::string> words;
  for (int value = 0; value < 12; value++)
    words.insert(cell_word(value));
  for (int direction = 0; direction < 8; direction++)
    words.insert(direction_words(direction));
  EXPECT_EQ(words.size(), 20u);
}
