# Debian packages for every script that installs some, sourced:
#
#   . scripts/apt.sh
#   apt_install [--refresh] PACKAGE...   installs those not installed yet
#   apt_source PACKAGE...                fetches source packages into .
#
# A package index in the middle of a mirror's sync is ordinary, and passes
# within the hour; it must not fail a run with apt's words. So an update is
# tried 3 times, APT_RETRY_SECONDS (60) apart (once, within 10 minutes of
# an update that was partial); when some index files still
# cannot be fetched, the run goes on with the lists it has, and says so.
# With a suite's index missing, its packages for one architecture can be
# newer than those for another (bookworm-security's amd64 list, say, without
# its i386 list), and Multi-Arch packages, which must agree across
# architectures, cannot be installed: the installs then prefer the release's
# own suite (APT::Default-Release), where both architectures agree. An
# install that fails is tried once more after a fresh update; then the run
# stops with one message: what could not be installed, apt's last error, and
# that the index may be in a sync.
#
# --refresh updates the index even when nothing is missing (a source or an
# architecture was just added). APT_GET names the apt-get to run, so that a
# test can hand in a fake one.

APT_GET="${APT_GET:-apt-get}"
APT_RETRY_SECONDS="${APT_RETRY_SECONDS:-60}"
apt_sudo=""
[ "$(id -u)" -eq 0 ] || apt_sudo="sudo"
# Set once an update left index files out: the installs then prefer the
# release's own suite.
apt_partial_index="${apt_partial_index:-}"
# What the last apt command printed, kept for its error line.
apt_log="${TMPDIR:-/tmp}/apt-output.$$"

# The packages of the arguments that are not installed, one a line.
apt_missing() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || echo "$package"
  done
}

# apt's last error line of the last command, or its last line.
apt_last_error() {
  grep -E '^(E|Err):' "$apt_log" | grep -v 'Some index files failed' | tail -1 | grep . || tail -1 "$apt_log"
}

# A partial update is remembered for 10 minutes, so that the scripts of one
# run do not each wait out the same sync.
apt_partial_stamp="${TMPDIR:-/tmp}/apt-index-partial"

apt_update() {
  local try tries=3
  if [ -n "$(find "$apt_partial_stamp" -mmin -10 2>/dev/null)" ]; then
    tries=1
  fi
  for ((try = 1; try <= tries; try++)); do
    if $apt_sudo "$APT_GET" update -qq >"$apt_log" 2>&1 &&
       ! grep -qE '^(E|W): (Failed to fetch|Some index files)' "$apt_log"; then
      rm -f "$apt_partial_stamp"
      apt_partial_index=""
      return 0
    fi
    if [ "$try" -lt "$tries" ]; then
      sleep "$APT_RETRY_SECONDS"
    fi
  done
  apt_partial_index=yes
  touch "$apt_partial_stamp"
  echo "apt: some package index files could not be fetched ($(apt_last_error)); going on with the lists this machine has, preferring the release's own suite"
  return 0
}

apt_release_option() {
  local codename
  [ -n "$apt_partial_index" ] || return 0
  codename="$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")"
  if [ -n "$codename" ]; then
    printf '%s\n' -o "APT::Default-Release=$codename"
  fi
}

apt_try_install() {
  local options
  mapfile -t options < <(apt_release_option)
  DEBIAN_FRONTEND=noninteractive $apt_sudo "$APT_GET" install -y -qq --no-install-recommends "${options[@]}" "$@" \
    >"$apt_log" 2>&1
}

apt_install() {
  local refresh=false missing
  if [ "${1:-}" = --refresh ]; then
    refresh=true
    shift
  fi
  mapfile -t missing < <(apt_missing "$@")
  if [ ${#missing[@]} -eq 0 ]; then
    if $refresh; then
      apt_update
    fi
    return 0
  fi
  echo "installing: ${missing[*]}"
  apt_update
  if apt_try_install "${missing[@]}"; then
    rm -f "$apt_log"
    return 0
  fi
  apt_update
  if apt_try_install "${missing[@]}"; then
    rm -f "$apt_log"
    return 0
  fi
  echo "apt: could not install ${missing[*]}: $(apt_last_error)" >&2
  echo "apt: the package index may be in the middle of a mirror's sync; run again later" >&2
  return 1
}

apt_source() {
  if "$APT_GET" source -qq "$@" >"$apt_log" 2>&1; then
    rm -f "$apt_log"
    return 0
  fi
  apt_update
  if "$APT_GET" source -qq "$@" >"$apt_log" 2>&1; then
    rm -f "$apt_log"
    return 0
  fi
  echo "apt: could not fetch the source of $*: $(apt_last_error)" >&2
  echo "apt: the package index may be in the middle of a mirror's sync; run again later" >&2
  return 1
}
