// The text of a game kept between runs: writing it, and reading it back.
#include "game_record.h"

#include <cstdio>
#include <cstring>

// The first line; a game of another version's format is not read.
static const char VERSION_LINE[] = "varnel game 1";
// A cell's letter: empty, a colour 0..11, a dead tile.
static const char CELL_LETTERS[] = ".abcdefghijkl#";
// The moves counted stay far from the int's limit as more are made.
static const int MOVES_MAX = 999999999;

static char cell_letter(int value) {
  if (value == CELL_EMPTY) return '.';
  return (unsigned)value < 12 ? CELL_LETTERS[1 + value] : '#';
}

// Written in place: this runs for every board of the history after every
// move.
static void add_board(std::string &text, const BoardState &board) {
  size_t at = text.size();
  text.resize(at + BOARD_ROWS * (2 * BOARD_COLS + 1));
  char *out = &text[at];
  for (int r = 0; r < BOARD_ROWS; r++) {
    for (int c = 0; c < BOARD_COLS; c++) {
      *out++ = cell_letter(board.cells[r][c]);
      *out++ = (char)('0' + (board.directions[r][c] & 7));
    }
    *out++ = '\n';
  }
}

std::string game_text(const GameRecord &game) {
  std::string text;
  text.reserve((game.undo.size() + 1) * BOARD_ROWS * (2 * BOARD_COLS + 1) + 100);
  text += std::string(VERSION_LINE) + "\nlevel " + std::to_string(game.difficulty) + "\narrows " +
          (game.arrow_mode ? "1" : "0") + "\nmoves " + std::to_string(game.moves) + "\n";
  add_board(text, game.board);
  text += "undo " + std::to_string(game.undo.size()) + "\n";
  for (const BoardState &before : game.undo)
    add_board(text, before);
  if (game.deal >= 0) text += "deal " + std::to_string(game.deal) + "\n";
  if (game.generator_known)
    text += "rng " + std::to_string(game.generator[0]) + " " + std::to_string(game.generator[1]) +
            " " + std::to_string(game.generator[2]) + "\n";
  if (game.counted) text += "counted " + std::to_string(game.counted) + "\n";
  text += "end\n";
  return text;
}

// Reads text line by line; each read takes one whole line or fails.
class LineReader {
public:
  explicit LineReader(const std::string &text) : text(text) {}
  bool read_line(std::string &out) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) return false;
    out = text.substr(at, end - at);
    at = end + 1;
    return true;
  }
  // A line "name N" with N a plain decimal number in 0..most.
  template <class Number> bool read_number(const char *name, long most, Number &value) {
    std::string l;
    size_t prefix = strlen(name);
    if (!read_line(l) || l.compare(0, prefix, name) != 0 || l.size() <= prefix + 1 ||
        l.size() > prefix + 11 || l[prefix] != ' ')
      return false;
    long n = 0;
    for (size_t i = prefix + 1; i < l.size(); i++) {
      if (l[i] < '0' || l[i] > '9') return false;
      n = n * 10 + (l[i] - '0');
    }
    value = (Number)n;
    return n <= most;
  }
  // Whether the next line is "name ...".
  bool next_is(const char *name) const {
    size_t n = strlen(name);
    return text.compare(at, n, name) == 0 && text.compare(at + n, 1, " ") == 0;
  }
  // The line "rng A B C": the generator's state, three numbers 0..65535,
  // as this program writes them (no signs, zeros in front or other blanks).
  bool read_generator(unsigned short state[3]) {
    std::string l;
    unsigned a = 0, b = 0, c = 0;
    char more;
    if (!read_line(l) || sscanf(l.c_str(), "rng %5u %5u %5u%c", &a, &b, &c, &more) != 3 ||
        a > 65535 || b > 65535 || c > 65535)
      return false;
    state[0] = a, state[1] = b, state[2] = c;
    return l == "rng " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c);
  }
  bool read_board(BoardState &board) {
    std::string l;
    for (int r = 0; r < BOARD_ROWS; r++) {
      if (!read_line(l) || l.size() != 2 * BOARD_COLS) return false;
      for (int c = 0; c < BOARD_COLS; c++) {
        const char *letter = l[2 * c] ? strchr(CELL_LETTERS, l[2 * c]) : nullptr;
        char digit = l[2 * c + 1];
        if (!letter || digit < '0' || digit > '7') return false;
        int index = (int)(letter - CELL_LETTERS);
        board.cells[r][c] = index == 0 ? CELL_EMPTY : index == 13 ? CELL_DEAD : index - 1;
        board.directions[r][c] = digit - '0';
      }
    }
    return true;
  }
  bool at_end() const { return at == text.size(); }

private:
  const std::string &text;
  size_t at = 0;
};

bool read_game_text(const std::string &text, GameRecord *game) {
  if (text.size() > GAME_TEXT_MAX_BYTES) return false;
  LineReader in(text);
  GameRecord read;
  std::string l;
  int arrows = 0, undo = 0;
  if (!in.read_line(l) || l != VERSION_LINE || !in.read_number("level", 3, read.difficulty) ||
      !in.read_number("arrows", 1, arrows) || !in.read_number("moves", MOVES_MAX, read.moves) ||
      !in.read_board(read.board) || !in.read_number("undo", UNDO_LIMIT, undo))
    return false;
  read.arrow_mode = arrows == 1;
  read.undo.resize(undo);
  for (BoardState &before : read.undo)
    if (!in.read_board(before)) return false;
  if ((in.next_is("deal") && !in.read_number("deal", 4294967295L, read.deal)) ||
      (in.next_is("rng") && !(read.generator_known = in.read_generator(read.generator))) ||
      (in.next_is("counted") && !in.read_number("counted", 2, read.counted)))
    return false;
  if (!in.read_line(l) || l != "end" || !in.at_end()) return false;
  *game = std::move(read);
  return true;
}
