// Figures for the sound module, on a file-writing ALSA device set up here:
// the idle player's wakeups and CPU time, the latency from a request to the
// first buffer of its clip, the gap between two queued clips, and the time
// to read the nine clips. Prints medians; passes or fails nothing.
//
//   sound_bench [idle runs of 10 s, default 3] [timed runs, default 200]
#include "pa.h"
#include "read_wave.h"

#include <algorithm>
#include <portaudio.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

typedef std::chrono::steady_clock Clock;

static const char *names[9] = {"pop.wav", "blop.wav", "fanfare.wav", "sad.wav", "thump.wav",
                               "pan.wav", "ding.wav", "bell.wav",    "honk.wav"};

static double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

static double micros(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::micro>(b - a).count();
}

static std::set<std::string> task_ids() {
  std::set<std::string> ids;
  DIR *dir = opendir("/proc/self/task");
  while (dirent *e = readdir(dir))
    if (e->d_name[0] != '.') ids.insert(e->d_name);
  closedir(dir);
  return ids;
}

// Context switches (voluntary + nonvoluntary) and CPU nanoseconds of a task.
static void task_usage(const std::string &tid, long &switches, long long &cpu_ns) {
  std::string base = "/proc/self/task/" + tid;
  std::ifstream status(base + "/status");
  std::string line;
  switches = 0;
  while (std::getline(status, line))
    if (line.find("ctxt_switches:") != std::string::npos)
      switches += atol(line.substr(line.find(':') + 1).c_str());
  std::ifstream schedstat(base + "/schedstat");
  schedstat >> cpu_ns;
}

static void wait_until_idle() {
  while (global_wave_cnt.load() != 0)
    std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

int main(int argc, char **argv) {
  int idle_runs = argc > 1 ? atoi(argv[1]) : 3;
  int runs = argc > 2 ? atoi(argv[2]) : 200;

  char dir_template[] = "/tmp/sound-bench-XXXXXX";
  std::string dir = mkdtemp(dir_template);
  // ALSA's whole configuration: the file device and nothing of the machine's.
  std::string config = dir + "/alsa.conf";
  std::ofstream(config) << "pcm.!default { type file; slave { pcm { type null } } file \"" << dir
                        << "/out.raw\"; format \"raw\" }\n";
  setenv("ALSA_CONFIG_PATH", config.c_str(), 1);

  std::vector<double> read_us;
  for (int r = 0; r < runs; r++) {
    Clock::time_point t0 = Clock::now();
    for (const char *name : names) {
      int bits, channels, frames;
      float rate, duration;
      free(read_wave((std::string(SOUND_DIR) + "/" + name).c_str(), &bits, &channels, &rate,
                     &frames, &duration));
    }
    read_us.push_back(micros(t0, Clock::now()));
  }

  initialize_audio();
  // Without a device nothing would ever fill a buffer to time.
  if (Pa_GetDefaultOutputDevice() == paNoDevice) {
    printf("sound: not measured, the file device did not come up\n");
    return 1;
  }
  for (int id = 0; id < 9; id++)
    read_wav((std::string(SOUND_DIR) + "/" + names[id]).c_str(), id);
  std::set<std::string> before = task_ids();
  create_play_all_wav(0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::string player;
  for (const std::string &id : task_ids())
    if (!before.count(id)) player = id;

  std::vector<double> latency_us, gap_us;
  for (int r = 0; r < runs; r++) {
    long buffers = buffers_filled.load();
    Clock::time_point asked = Clock::now();
    set_play_wav(SOUND_POP);
    while (buffers_filled.load() == buffers) {
    }
    latency_us.push_back(micros(asked, Clock::now()));
    wait_until_idle();

    long completed = clips_completed.load();
    set_play_wav(SOUND_POP);
    set_play_wav(SOUND_BLOP);
    while (clips_completed.load() == completed) {
    }
    Clock::time_point first_ended = Clock::now();
    buffers = buffers_filled.load();
    // If this thread was not running meanwhile, the second clip may be over
    // already; such a run is not counted.
    while (buffers_filled.load() == buffers && clips_completed.load() < completed + 2) {
    }
    if (clips_completed.load() < completed + 2) gap_us.push_back(micros(first_ended, Clock::now()));
    while (clips_completed.load() < completed + 2) {
    }
    wait_until_idle();
  }

  std::vector<double> wakeups, cpu_ms;
  for (int r = 0; r < idle_runs && !player.empty(); r++) {
    long s0, s1;
    long long c0, c1;
    task_usage(player, s0, c0);
    std::this_thread::sleep_for(std::chrono::seconds(10));
    task_usage(player, s1, c1);
    wakeups.push_back((s1 - s0) / 10.0);
    cpu_ms.push_back((c1 - c0) / 1e6);
  }

  terminate_audio();
  std::filesystem::remove_all(dir);

  printf("read nine clips:                 %8.1f us (median of %d)\n", median(read_us), runs);
  printf("request to first buffer:         %8.1f us (median of %d)\n", median(latency_us), runs);
  printf("end of clip to next clip's first: %7.1f us (median of %d)\n", median(gap_us), runs);
  printf("idle player wakeups:             %8.2f /s (median of %d x 10 s)\n", median(wakeups),
         idle_runs);
  printf("idle player CPU time:            %8.3f ms per 10 s\n", median(cpu_ms));
  return 0;
}
