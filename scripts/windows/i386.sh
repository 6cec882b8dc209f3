#!/usr/bin/env bash
# Makes sure 32-bit (i386) programs start here, as Wine's 32-bit part, and
# so the i686 Windows suite, needs. Some machines' kernels run no 32-bit
# program; there qemu's user-mode emulator runs them, registered with the
# kernel's binfmt_misc (a registered handler takes precedence over the
# kernel's own i386 support).
#
#   i386.sh           check, and set up emulation where 32-bit programs cannot start
#   i386.sh --query   print how 32-bit programs run here: native, emulated or none
#   i386.sh --remove  unregister the emulator handler this script registers
#
# ACTIONS_EMULATE_I386=1 forces the emulated way on a machine that runs
# 32-bit programs itself, so that the path can be tried anywhere. Works as
# root and through sudo.
set -euo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
binfmt=/proc/sys/fs/binfmt_misc
handler=actions-qemu-i386

# A 96-byte static i386 program that exits with status 42.
probe() {
  local program status=0
  program="$(mktemp)"
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$program"
  chmod +x "$program"
  "$program" 2>/dev/null || status=$?
  rm -f "$program"
  [ "$status" -eq 42 ]
}

# The name of an enabled binfmt_misc handler that runs i386 programs through
# qemu, if there is one.
emulator_handler() {
  [ -r "$binfmt/status" ] && grep -qx enabled "$binfmt/status" || return 1
  local entry
  for entry in "$binfmt"/*; do
    case "$(basename "$entry")" in register|status) continue ;; esac
    if grep -qx enabled "$entry" 2>/dev/null && grep -qE "^interpreter .*/qemu-i386" "$entry"; then
      basename "$entry"
      return 0
    fi
  done
  return 1
}

query() {
  if emulator_handler >/dev/null && probe; then
    echo emulated
  elif probe; then
    echo native
  else
    echo none
  fi
}

case "${1:-}" in
  --query) query; exit 0 ;;
  --remove)
    if [ -e "$binfmt/$handler" ]; then
      echo -1 | $sudo tee "$binfmt/$handler" >/dev/null
      echo "i386: emulator handler removed"
    fi
    exit 0 ;;
  "") ;;
  *) echo "usage: i386.sh [--query|--remove]" >&2; exit 2 ;;
esac

mode="$(query)"
if [ "$mode" = emulated ] || { [ "$mode" = native ] && [ "${ACTIONS_EMULATE_I386:-0}" != 1 ]; }; then
  exit 0
fi

if [ ! -x /usr/bin/qemu-i386 ]; then
  . "$(dirname "$0")/../apt.sh"
  apt_install qemu-user
fi
if [ ! -e "$binfmt/register" ]; then
  $sudo mount -t binfmt_misc binfmt_misc "$binfmt" ||
    { echo "i386: 32-bit programs cannot start here, and binfmt_misc cannot be mounted at $binfmt" >&2; exit 1; }
fi
if ! emulator_handler >/dev/null; then
  # qemu's own i386 pattern: the ELF header of an i386 executable or shared
  # object. F: the kernel opens the emulator now, so it serves every mount
  # namespace and chroot.
  magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  [ -e "$binfmt/$handler" ] && echo 1 | $sudo tee "$binfmt/$handler" >/dev/null
  if ! emulator_handler >/dev/null; then
    printf ':%s:M::%s:%s:/usr/bin/qemu-i386:F' "$handler" "$magic" "$mask" | $sudo tee "$binfmt/register" >/dev/null ||
      { echo "i386: 32-bit programs cannot start here, and the kernel refused to register qemu-i386 with binfmt_misc" >&2; exit 1; }
  fi
fi
probe || { echo "i386: qemu-i386 is registered, but a 32-bit program still does not start" >&2; exit 1; }
echo "i386: 32-bit programs run through emulation here (qemu-i386, registered with binfmt_misc as $(emulator_handler))"
