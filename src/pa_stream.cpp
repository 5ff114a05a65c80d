// One clip through one PortAudio stream: its callback and the wait for its end.
#include "pa_stream.h"
#include "language.h"
#include "pa_queue.h"
#include "pa_threads.h"

#include <portaudio.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>

std::atomic<long> buffers_filled{0};
std::atomic<long> clips_completed{0};

int clip_frames(float duration, float sample_rate) {
  float frames = duration * sample_rate;
  return (int)frames;
}

int bytes_per_sample(int bits_per_sample) {
  if (bits_per_sample == 8) return 1;
  if (bits_per_sample == 32) return 4;
  return 2;
}

static PaSampleFormat sample_format(int bits_per_sample) {
  if (bits_per_sample == 8) return paInt8;
  if (bits_per_sample == 32) return paInt32;
  return paInt16;
}

int fill_output_buffer(PlaybackState *state, void *output, unsigned long frames) {
  size_t frame_bytes = (size_t)state->channels * bytes_per_sample(state->bits_per_sample);
  unsigned char *out = (unsigned char *)output;
  const unsigned char *from = state->data + (size_t)state->position * frame_bytes;
  unsigned long remaining = (unsigned long)(state->total_frames - state->position);

  if (remaining >= frames) {
    memcpy(out, from, frames * frame_bytes);
    state->position += (int)frames;
    return paContinue;
  }
  // The last frames of the clip, then silence. ALSA drops what is still
  // queued when the stream completes, so the clip is followed by enough
  // zero frames to cover the output latency before the stream ends.
  memcpy(out, from, remaining * frame_bytes);
  memset(out + remaining * frame_bytes, 0, (frames - remaining) * frame_bytes);
  state->position += (int)remaining;
  long owed = (long)state->silence_frames - (long)(frames - remaining);
  if (owed > 0) {
    state->silence_frames = (int)owed;
    return paContinue;
  }
  state->silence_frames = 0;
  clips_completed.fetch_add(1, std::memory_order_relaxed);
  return paComplete;
}

// One clip on its way through a stream: the callback's state, and the end
// of the stream as PortAudio reports it.
struct PlayingClip {
  PlaybackState state;
  std::mutex mutex;
  std::condition_variable ended_changed;
  bool ended = false;
  // Set by the player before it cuts the clip short; nobody waits for the
  // end then.
  std::atomic<bool> aborted{false};
};

// Runs on PortAudio's real-time thread. Rules here: no allocation, no
// locks, no I/O, no calls into the game; only copy bytes out of the clip and
// bump lock-free counters.
static int playCallback(const void *, void *output, unsigned long frames,
                        const PaStreamCallbackTimeInfo *, PaStreamCallbackFlags, void *user) {
  buffers_filled.fetch_add(1, std::memory_order_relaxed);
  return fill_output_buffer(&((PlayingClip *)user)->state, output, frames);
}

// PortAudio's word that the stream has played out, from its own thread, once
// the real-time callbacks are over. It wakes the player at once instead of
// at its next look at the stream.
static void stream_finished(void *user) {
  PlayingClip *clip = (PlayingClip *)user;
  // A clip the player cuts short has no waiter: the player is inside
  // Pa_AbortStream, which calls this while it takes the stream's thread
  // down, and never looks at the clip's end again. Such a clip is left
  // alone.
  if (clip->aborted.load()) return;
  std::lock_guard<std::mutex> lock(clip->mutex);
  clip->ended = true;
  clip->ended_changed.notify_one();
}

static int report_error(PaError err) {
  fputs(_("An error occured while using the portaudio stream\n"), stderr);
  fprintf(stderr, _("Error number: %d\n"), err);
  fprintf(stderr, _("Error message: %s\n"), Pa_GetErrorText(err));
  fflush(stderr);
  return 1;
}

// Zero frames that cover what the device still holds when the clip ends.
static int latency_frames(PaStream *stream, float sample_rate) {
  const PaStreamInfo *info = Pa_GetStreamInfo(stream);
  if (!info) return 0;
  return (int)std::ceil(info->outputLatency * sample_rate);
}

// Waits until the stream has played out, looking at it at least every
// 10 ms; a forced stop or the sound turned off cuts it short. Returns the
// last answer of Pa_IsStreamActive.
static PaError wait_while_active(PaStream *stream, PlayingClip &clip) {
  PaError active;
  while ((active = Pa_IsStreamActive(stream)) == 1) {
    if (stop_forced.load() || !sound_switch.load()) {
      clip.aborted.store(true);
      Pa_AbortStream(stream);
      return 0;
    }
    std::unique_lock<std::mutex> lock(clip.mutex);
    if (clip.ended) {
      // Finished but not yet marked inactive: a moment more.
      lock.unlock();
      Pa_Sleep(1);
    } else {
      clip.ended_changed.wait_for(lock, std::chrono::milliseconds(10),
                                  [&clip] { return clip.ended; });
    }
  }
  return active;
}

int play_it(unsigned char *data, float duration, float sample_rate, int channels,
            int bits_per_sample) {
  PlayingClip clip;
  PlaybackState &state = clip.state;
  state.position = 0;
  state.total_frames = clip_frames(duration, sample_rate);
  state.data = data;
  state.channels = channels;
  state.bits_per_sample = bits_per_sample;
  state.silence_frames = 0;
  if (!data) return 0;

  PaDeviceIndex device = Pa_GetDefaultOutputDevice();
  if (device == paNoDevice) return 0;
  const PaDeviceInfo *info = Pa_GetDeviceInfo(device);
  if (!info) return 0;

  PaStreamParameters output;
  output.device = device;
  output.channelCount = channels;
  output.sampleFormat = sample_format(bits_per_sample);
  output.suggestedLatency = info->defaultLowOutputLatency;
  output.hostApiSpecificStreamInfo = nullptr;

  PaStream *stream;
  PaError err =
      Pa_OpenStream(&stream, nullptr, &output, sample_rate, 512, paClipOff, playCallback, &clip);
  if (err != paNoError) return report_error(err);
  state.silence_frames = latency_frames(stream, sample_rate);
  Pa_SetStreamFinishedCallback(stream, stream_finished);
  err = Pa_StartStream(stream);
  if (err != paNoError) {
    Pa_CloseStream(stream);
    return report_error(err);
  }
  PaError active = wait_while_active(stream, clip);
  Pa_CloseStream(stream);
  if (active < 0) return report_error(active);
  return 0;
}
