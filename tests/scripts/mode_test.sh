#!/usr/bin/env bash
# scripts/mode: the one check that decides between the 32-bit and the 64-bit
# build. Each row: environment, expected answer.
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
mode="$here/scripts/mode"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
failures=0

# What this machine answers on its own (no binfmt entries seen, no note
# that wine32 could not be installed).
export CV_NO_WINE32_NOTE="$work/absent"
mkdir -p "$work/none" "$work/qemu" "$work/off"
native=$(env -u WIN64 -u CV_MODE CV_BINFMT_DIR="$work/none" "$mode")
i386=7f454c4601010100000000000000000002000300
printf 'enabled\ninterpreter /usr/bin/qemu-i386-static\nflags: F\noffset 0\nmagic %s\nmask fffffffffffefe00fffffffffffffffffeffffff\n' $i386 >"$work/qemu/qemu-i386"
printf 'disabled\ninterpreter /usr/bin/qemu-i386-static\nflags: F\noffset 0\nmagic %s\n' $i386 >"$work/off/qemu-i386"

check() {  # expected, then the environment for the call
  local expected=$1; shift
  local got
  got=$(env -u WIN64 -u CV_MODE "$@" "$mode" 2>/dev/null)
  if [ "$got" != "$expected" ]; then
    echo "FAIL: $* -> '$got', expected '$expected'"; failures=$((failures + 1))
  fi
}
check 64 WIN64=1 CV_BINFMT_DIR="$work/none"
check 32 CV_MODE=32 WIN64=1                      # a caller's decision stands
check 64 CV_MODE=64
check 64 CV_BINFMT_DIR="$work/qemu"              # an emulator would run them: too slow
check "$native" CV_BINFMT_DIR="$work/off"        # a disabled entry counts for nothing
check "$native" CV_BINFMT_DIR="$work/none" WIN64=0
# The note of a wine32 that bootstrap could not install turns to 64 unless
# wine32 is there after all.
touch "$work/no-wine32"
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  check "$native" CV_BINFMT_DIR="$work/none" CV_NO_WINE32_NOTE="$work/no-wine32"
else
  check 64 CV_BINFMT_DIR="$work/none" CV_NO_WINE32_NOTE="$work/no-wine32"
fi
case "$native" in 32|64) ;; *) echo "FAIL: plain answer '$native'"; failures=$((failures + 1)) ;; esac

# --say tells once, on stderr, which mode and why; stdout stays the answer.
said=$(env -u CV_MODE WIN64=1 "$mode" --say 2>&1 >/dev/null)
case "$said" in *"64-bit"*"WIN64=1"*) ;; *) echo "FAIL: --say said '$said'"; failures=$((failures + 1)) ;; esac
[ -z "$(CV_MODE=64 "$mode" --say 2>&1 >/dev/null)" ] || { echo "FAIL: a decided mode is said again"; failures=$((failures + 1)); }

echo "mode check on this machine: $native-bit; $failures failure(s)"
[ "$failures" = 0 ]
