#!/usr/bin/env bash
# Installs the Debian package on a fresh Debian 12 made by debootstrap, checks what a
# user gets, purges it and checks that nothing of it is left. Takes some minutes and
# needs root and a Debian mirror; not part of CI.
# Usage: scripts/package-roundtrip.sh [MIRROR]
#   MIRROR: default the first Debian mirror in apt's sources
# Builds the package first (scripts/package.sh). Set KEEP_ROOT=1 to keep the root.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
mirror=${1:-$(apt-get indextargets --format '$(REPO_URI)' 'Origin: Debian' 2>/dev/null | grep -v security |
  head -n 1)}
mirror=${mirror:-http://deb.debian.org/debian/}
command -v debootstrap >/dev/null || apt-get install -y -qq --no-install-recommends debootstrap

deb=$(bash scripts/package.sh | tail -n 1)
root=$(mktemp -d)
chmod 755 "$root"  # a root folder that only its owner may enter locks out apt's and man's users
cleanup() {
  local mount
  for mount in "$root/dev/pts" "$root/dev" "$root/proc"; do
    if mountpoint -q "$mount"; then umount "$mount" || umount -l "$mount"; fi
  done
  if [ "${KEEP_ROOT:-0}" = 1 ]; then
    echo "root kept in $root"
  elif ! grep -q " $root/" /proc/mounts; then  # never remove through a mount of the host's /dev
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT

echo "roundtrip: debootstrap bookworm from $mirror"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 ||
  { tail -n 20 "$root.log"; exit 1; }
rm -f "$root.log"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
  DEBIAN_FRONTEND=noninteractive "$@"; }
apt_quiet() { in_root apt-get -y -q -o Dpkg::Use-Pty=0 "$@" >/dev/null; }

# The desktop's own tools, as a user's system has them, and the ones the checks use.
apt_quiet update
apt_quiet install --no-install-recommends desktop-file-utils xdg-utils shared-mime-info man-db \
  fontconfig strace xvfb x11-utils
cp "$deb" "$top/assets/samples/sample.avi" "$root/tmp/"
package=/tmp/$(basename "$deb")

# What the system holds with the dependencies but without the package: install it, and
# purge it again, so that the second install below adds the package alone.
apt_quiet install --no-install-recommends "$package"
apt_quiet purge tamso-avi
snapshot() {
  in_root find / -xdev \( -path /proc -o -path /tmp -o -path /var/log -o -path /var/cache \
    -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /root \) -prune -o -type f -print0 |
    xargs -0 -r chroot "$root" md5sum | LC_ALL=C sort -k 2
}
snapshot >"$root/tmp/before"

# shellcheck source=tests/install/checks.sh
source tests/install/checks.sh
apt_quiet install --no-install-recommends "$package"
for program in tamso-avi tamso-avi-report; do
  if path=$(in_root sh -c "command -v $program") && [ "$path" = /usr/bin/$program ]; then
    pass "$program on PATH"
  else
    fail "$program on PATH" "${path:-not found}"
  fi
done
check_report "installed report describes the codec" /tmp/sample.avi in_root tamso-avi-report
handler=$(in_root sh -c 'update-desktop-database && xdg-mime query default video/x-msvideo')
[ "$handler" = tamso-avi.desktop ] && pass "default handler of AVI files" ||
  fail "default handler of AVI files" "xdg-mime names '$handler'"
fonts=$(in_root sh -c 'for f in Arial "Arial Narrow" Tahoma; do fc-match -f "%{family[0]};" "$f"; done')
[ "$fonts" = "Liberation Sans;Liberation Sans Narrow;DejaVu Sans;" ] && pass "window fonts" ||
  fail "window fonts" "$fonts"
in_root man -w tamso-avi tamso-avi-report >/dev/null && pass "manual pages found by man" ||
  fail "manual pages found by man" "man -w failed"
# The window on an X server (on a display number the server picks free): it shows, it
# opens kitty.mid from the installed data folder, and its tune player, a process of its
# own, opens the synthesiser.
in_root sh -c 'Xvfb -displayfd 3 -nolisten tcp 3>/tmp/display 2>/dev/null & server=$!
  for _ in $(seq 50); do [ -s /tmp/display ] && break; sleep 0.2; done
  export DISPLAY=:$(cat /tmp/display)
  strace -f -qq -e trace=openat,execve -o /tmp/window.trace tamso-avi & tracer=$!
  for _ in $(seq 100); do xwininfo -root -tree | grep -q "\"Tamso AVI\".* 551x502" && break; sleep 0.2; done
  xwininfo -root -tree >/tmp/windows
  for _ in $(seq 50); do grep -v ENOENT /tmp/window.trace | grep -q libfluidsynth.so.3 && break; sleep 0.2; done
  kill "$(head -n 1 /tmp/window.trace | cut -d " " -f 1)"; wait $tracer
  kill $server; wait $server' >/dev/null 2>&1 || true
grep -q '"Tamso AVI".* 551x502' "$root/tmp/windows" && pass "window shows on an X server" ||
  fail "window shows on an X server" "no 551x502 window named Tamso AVI"
window=$(head -n 1 "$root/tmp/window.trace" | cut -d " " -f 1)
opened_by() { grep -v ENOENT "$root/tmp/window.trace" | grep -- "$2" | cut -d " " -f 1 | grep -q${1:+v} -x "$window"; }
opened_by "" /usr/share/tamso-avi/kitty.mid && pass "window opens kitty.mid" ||
  fail "window opens kitty.mid" "not in the window's openat calls"
grep -q 'execve("/usr/libexec/tamso-avi/tamso-avi-tune"' "$root/tmp/window.trace" &&
  opened_by v libfluidsynth.so.3 && ! opened_by "" libfluidsynth.so.3 &&
  pass "the tune player, not the window, opens libfluidsynth.so.3" ||
  fail "the tune player, not the window, opens libfluidsynth.so.3" "see the trace of the window and its children"
[ -e "$root/usr/share/sounds/sf2/default-GM.sf2" ] && pass "a General MIDI soundfont is installed" ||
  fail "a General MIDI soundfont is installed" "no default-GM.sf2"

apt_quiet purge tamso-avi
snapshot >"$root/tmp/after"
left=$(diff "$root/tmp/before" "$root/tmp/after" || true)
[ -z "$left" ] && pass "purge restores every file" || fail "purge restores every file" "$left"
left=$(in_root sh -c 'find / -xdev -path /proc -prune -o -path /tmp -prune -o -name "*tamso*" -print;
  dpkg-query -W tamso-avi 2>/dev/null' || true)
[ -z "$left" ] && pass "purge leaves nothing named tamso" || fail "purge leaves nothing named tamso" "$left"
finish
