#!/usr/bin/env bash
# The install function against a fake apt-get: an update that fails once is
# tried again; an index that stays partial is said in one line and the
# install then prefers the release's own suite; an install that always
# fails ends with our one message and the package's name. Usage:
# apt_test.sh SOURCE_DIR
set -uo pipefail
source_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# The fake: logs each call; FAKE_UPDATE_FAILURES updates fail first
# ("always": every one), FAKE_INSTALL=fail makes every install fail.
cat >"$work/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "$*" >>"$FAKE_LOG"
case "$1" in
  update)
    count=$(grep -c '^update' "$FAKE_LOG")
    if [ "$FAKE_UPDATE_FAILURES" = always ] || [ "$count" -le "$FAKE_UPDATE_FAILURES" ]; then
      echo "E: Failed to fetch http://mirror/dists/stable/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi ;;
  install)
    if [ "$FAKE_INSTALL" = fail ]; then
      echo "E: Unable to correct problems, you have held broken packages."
      exit 100
    fi ;;
esac
exit 0
FAKE
chmod +x "$work/apt-get"

# run NAME UPDATE_FAILURES INSTALL: apt_install of a package no machine has,
# in a shell of its own; its output in $work/NAME.out, its calls in $work/NAME.log.
run() {
  local name="$1"
  FAKE_LOG="$work/$name.log" FAKE_UPDATE_FAILURES="$2" FAKE_INSTALL="$3" APT_GET="$work/apt-get" \
    APT_RETRY_SECONDS=0 TMPDIR="$work/$name.tmp" \
    bash -c 'set -euo pipefail; mkdir -p "$TMPDIR"; . "$1/scripts/apt.sh"; apt_install actions-no-such-package' _ "$source_dir" \
    >"$work/$name.out" 2>&1
  echo $? >"$work/$name.status"
  touch "$work/$name.log"
}

expect() {
  local what="$1"
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

run transient 1 ok
expect "an update that fails once is tried again and the install goes on" \
  test "$(cat "$work/transient.status")" = 0
expect "  no line about a partial index then" bash -c "! grep -q 'could not be fetched' '$work/transient.out'"
expect "  the install does not prefer a suite" bash -c "grep '^install' '$work/transient.log' | grep -vq Default-Release"

run partial always ok
expect "an index that stays partial still installs" test "$(cat "$work/partial.status")" = 0
expect "  after 3 tries of the update" test "$(grep -c '^update' "$work/partial.log")" = 3
expect "  saying so in one line that names the file" \
  test "$(grep -c 'apt: some package index files could not be fetched (E: Failed to fetch http://mirror/dists/stable/main/binary-i386/Packages.xz' "$work/partial.out")" = 1
expect "  and preferring the release's own suite" \
  bash -c "grep '^install' '$work/partial.log' | grep -q 'APT::Default-Release='"

run broken 0 fail
expect "an install that always fails fails the step" test "$(cat "$work/broken.status")" = 1
expect "  after a fresh update and a second try" test "$(grep -c '^install' "$work/broken.log")" = 2
expect "  with our message naming the package and apt's last error" \
  grep -q "apt: could not install actions-no-such-package: E: Unable to correct problems, you have held broken packages." \
  "$work/broken.out"
expect "  and what to do" grep -q "the package index may be in the middle of a mirror's sync; run again later" \
  "$work/broken.out"

echo "apt test: $failures failed"
[ "$failures" -eq 0 ]
