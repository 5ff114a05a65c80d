// The player's records file: results written by a thread of its own,
// merged under a lock with what other copies of the game wrote.
#include "records_file.h"
#include "language.h"

#include "private_dir.h"

#include <chrono>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>

static const char RECORDS_NAME[] = "records";
static const char BAD_NAME[] = "records.bad";

// Replacing the file costs a rename and a sync: far too long for the GUI
// thread, which only queues the result. Results are never dropped: each
// waits in `pending` until a file holding it has replaced the old one.
struct RecordsQueue {
  std::mutex lock;                  // pending, taken, busy, newest
  std::condition_variable changed;  // a result queued, or a write done
  std::deque<RecordResult> pending; // oldest first
  size_t taken = 0;                 // the first this many are being written
  bool busy = false;                // the writer is at work
  bool stalled = false;             // the last write failed; none queued since
  std::mutex file;                  // the rename, against a read of the file
  WinRow newest;
  int newest_page = -1;
};
// Never destroyed: the writer may sleep on it while the program exits.
static RecordsQueue &queue = *new RecordsQueue;

// $XDG_DATA_HOME, or ~/.local/share; "" without either variable.
static std::string data_home() {
  std::string data = absolute_env("XDG_DATA_HOME"), home = absolute_env("HOME");
  return !data.empty() ? data : home.empty() ? "" : home + "/.local/share";
}

std::string records_path() {
  std::string data = data_home();
  return data.empty() ? "" : data + "/varnel/" + RECORDS_NAME;
}

// The records in the directory dir_fd; anything else under the name is
// moved aside, and gives none.
static Records read_records_at(int dir_fd) {
  Records records;
  std::string text;
  struct stat st;
  bool read = read_at(dir_fd, RECORDS_NAME, text, st, RECORDS_TEXT_MAX_BYTES);
  if (read && st.st_uid == geteuid() && read_records_text(text, &records)) return records;
  if (fstatat(dir_fd, RECORDS_NAME, &st, AT_SYMLINK_NOFOLLOW) == 0)
    renameat(dir_fd, RECORDS_NAME, dir_fd, BAD_NAME);
  return Records();
}

// One line on standard error, the first time the records cannot be kept.
static void tell_once(const std::string &where, const std::string &why) {
  static bool told = false;
  if (told) return;
  told = true;
  fprintf(stderr, _("varnel: cannot keep your records in %s: %s\n"), where.c_str(), why.c_str());
  fflush(stderr);
}

// The directory's lock, which copies of the game take in turn. One that is
// held past about two seconds (a copy stuck on a dead disk) is passed by.
static bool lock_dir(int dir_fd) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  while (flock(dir_fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    usleep(10000);
  }
  return true;
}

// Opens the records' directory, making it when missing.
static int open_records_dir(std::string &dir, std::string &why) {
  std::string data = data_home();
  dir = data + "/varnel";
  if (data.empty()) {
    why = "neither XDG_DATA_HOME nor HOME is set";
    return -1;
  }
  std::vector<std::string> dirs = {data, dir};
  if (absolute_env("XDG_DATA_HOME").empty())
    dirs.insert(dirs.begin(), absolute_env("HOME") + "/.local");
  why = make_private_dirs(dirs);
  return why.empty() ? open_private_dir(dir, why) : -1;
}

// Writes the results into the file; true when done.
static bool write_results(const std::deque<RecordResult> &results) {
  std::string dir, why;
  int dir_fd = open_records_dir(dir, why);
  if (dir_fd < 0) return tell_once(dir, why), false;
  lock_dir(dir_fd);
  Records records = read_records_at(dir_fd);
  for (const RecordResult &result : results)
    apply_result(records, result);
  int err = 0;
  {
    // The rename and the end of the results' wait are one step to a reader.
    std::lock_guard<std::mutex> hold(queue.file);
    err = replace_private_file(dir_fd, RECORDS_NAME, records_text(records));
    if (!err) {
      std::lock_guard<std::mutex> hold_queue(queue.lock);
      queue.pending.erase(queue.pending.begin(), queue.pending.begin() + queue.taken);
      queue.taken = 0;
    }
  }
  close(dir_fd); // and with it the lock
  if (err) tell_once(dir, strerror(err));
  return !err;
}

static void *write_records(void *) {
  std::unique_lock<std::mutex> hold(queue.lock);
  for (;;) {
    queue.changed.wait(hold, [] { return queue.pending.size() > queue.taken; });
    queue.taken = queue.pending.size();
    queue.busy = true;
    std::deque<RecordResult> results = queue.pending;
    hold.unlock();
    bool written = write_results(results);
    hold.lock();
    // Not written: they wait for the next result, and show meanwhile.
    if (!written) queue.taken = 0;
    queue.stalled = !written;
    queue.busy = false;
    queue.changed.notify_all();
    if (!written) queue.changed.wait(hold, [&] { return queue.pending.size() > results.size(); });
  }
  return nullptr;
}

static bool start_writer() {
  static bool started = false;
  pthread_t thread;
  if (!started && pthread_create(&thread, nullptr, write_records, nullptr) == 0) {
    pthread_detach(thread);
    started = true;
  }
  return started;
}

void record_result(const RecordResult &result) {
  bool threaded = start_writer();
  std::unique_lock<std::mutex> hold(queue.lock);
  queue.pending.push_back(result);
  queue.stalled = false;
  if (result.event == EVENT_WON) {
    queue.newest = result.win;
    queue.newest_page = result.page;
  }
  queue.changed.notify_all();
  if (threaded) return;
  // No thread to be had: the work is done here.
  queue.taken = queue.pending.size();
  std::deque<RecordResult> results = queue.pending;
  hold.unlock();
  bool written = write_results(results);
  hold.lock();
  if (!written) queue.taken = 0;
}

Records current_records() {
  std::string data = data_home(), why;
  int dir_fd = data.empty() ? -1 : open_private_dir(data + "/varnel", why);
  std::lock_guard<std::mutex> hold(queue.file);
  Records records;
  if (dir_fd >= 0) {
    records = read_records_at(dir_fd);
    close(dir_fd);
  }
  std::lock_guard<std::mutex> hold_queue(queue.lock);
  for (const RecordResult &result : queue.pending)
    apply_result(records, result);
  return records;
}

WinRow newest_win(int &page) {
  std::lock_guard<std::mutex> hold(queue.lock);
  page = queue.newest_page;
  return queue.newest;
}

bool finish_keeping_records() {
  std::unique_lock<std::mutex> hold(queue.lock);
  return queue.changed.wait_for(hold, std::chrono::seconds(2), [] {
    return !queue.busy && (queue.pending.empty() || queue.stalled);
  });
}
