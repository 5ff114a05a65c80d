# Sourced by play.sh and test.sh: installs the Debian packages the game and
# its tests need, when any is missing. Uses sudo when not run as root.
VARNEL_PACKAGES="build-essential cmake pkg-config libfltk1.3-dev portaudio19-dev libasound2-dev librsvg2-bin
  libgtest-dev x11-utils gettext appstream"
VARNEL_TEST_PACKAGES="xvfb xauth xdotool imagemagick clang libclang-rt-14-dev
  desktop-file-utils appstream dpkg-dev lintian man-db libxml2-utils shellcheck x11-xserver-utils openbox
  pipewire pipewire-pulse wireplumber pulseaudio-utils libasound2-plugins dbus-daemon fonts-noto-core
  libspeechd2 speech-dispatcher speech-dispatcher-espeak-ng"

install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing from Debian: ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "${missing[@]}" >/dev/null
}

# Configures and builds one build directory: build_tree DIR [cmake options...]
build_tree() {
  local dir=$1
  shift
  cmake -S "$VARNEL_ROOT" -B "$VARNEL_ROOT/$dir" "$@" >/dev/null &&
    cmake --build "$VARNEL_ROOT/$dir" -j"$(nproc)"
}
