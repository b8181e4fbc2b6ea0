#!/usr/bin/env bash
# Checks the built Debian package the way a user meets it: lintian on the
# .deb, then `apt-get install` of it, the installed program started
# offscreen until its main window has loaded, its help document found where
# the running program looks for it, and `apt-get purge`, after which none of
# its files may be left.
#
#   tests/deb/check_deb.sh [FOLDER]     (FOLDER holds morvane_*_amd64.deb;
#                                        build-deb by default)
#
# It installs and removes the package on this machine, so it runs as root
# (or through sudo); a copy of morvane installed before is purged first.
set -euo pipefail
export LC_ALL=C DEBIAN_FRONTEND=noninteractive
cd "$(dirname "$0")/../.."
folder=${1:-build-deb}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "== $*"; }

# Whether dpkg holds anything of morvane: installed, or its configuration.
known_to_dpkg() {
  local status
  status=$(dpkg-query -W -f='${Status}' morvane 2>/dev/null) || return 1
  [ -n "$status" ] && [ "${status##* }" != not-installed ]
}

# The one package of this version in the folder; the debug symbols stay out.
find_package() {
  local found=("$folder"/morvane_*_amd64.deb)
  [ -e "${found[0]}" ] || fail "no morvane_*_amd64.deb in $folder (make deb makes it)"
  [ ${#found[@]} -eq 1 ] || fail "more than one package in $folder: ${found[*]}"
  DEB=$(cd "$(dirname "${found[0]}")" && pwd)/$(basename "${found[0]}")
}

# As an ordinary user: lintian advises against running it as root.
run_lintian() {
  step "lintian $DEB"
  mkdir -p "$WORK/lintian"
  cp "$DEB" "$WORK/lintian/"
  chown -R nobody:nogroup "$WORK/lintian"
  timeout 300 env -i PATH=/usr/bin:/bin HOME="$WORK/lintian" \
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
    lintian --fail-on error,warning --display-info --show-overrides \
    "$WORK/lintian/$(basename "$DEB")" || fail "lintian reports errors or warnings"
}

# A copy installed before goes first: apt would keep one of the same version
# in place of the file.
install_package() {
  if known_to_dpkg; then
    step "apt-get purge the morvane installed before"
    timeout 300 apt-get purge -y -o DPkg::Lock::Timeout=300 morvane || fail "apt-get purge failed"
  fi
  step "apt-get install $DEB"
  INSTALLED=1
  timeout 600 env DEBIAN_FRONTEND=noninteractive apt-get install -y -o DPkg::Lock::Timeout=300 "$DEB" ||
    fail "apt-get install failed"
  dpkg-query -W -f='${Status}\n' morvane | grep -q "install ok installed" ||
    fail "morvane is not installed after apt-get install"
  dpkg -L morvane | sort > "$WORK/files"
}

# What the package must hold, and what it must leave out.
check_contents() {
  step "contents"
  local want
  for want in /usr/lib/morvane/morvane /usr/lib/morvane/MorvHelp.pdf /usr/bin/morvane \
    /usr/share/applications/morvane.desktop /usr/share/man/man1/morvane.1.gz \
    /usr/share/metainfo/org.morvane.transfer.metainfo.xml \
    /usr/share/icons/hicolor/48x48/apps/morvane.png \
    /usr/share/doc/morvane/copyright /usr/share/doc/morvane/changelog.gz; do
    grep -qx "$want" "$WORK/files" || fail "the package has no $want"
    [ -e "$want" ] || fail "$want is not on the system after installing"
  done
  [ "$(readlink -f /usr/bin/morvane)" = /usr/lib/morvane/morvane ] ||
    fail "/usr/bin/morvane does not lead to /usr/lib/morvane/morvane"
  if grep -q -- '-sim' "$WORK/files"; then
    fail "the simulated instrument is in the package: $(grep -- -sim "$WORK/files")"
  fi
  # The summary tool and its manual page come together, or not at all.
  if grep -qx /usr/bin/morvane-summary "$WORK/files"; then
    grep -qx /usr/share/man/man1/morvane-summary.1.gz "$WORK/files" ||
      fail "morvane-summary is installed without its manual page"
  elif grep -q morvane-summary "$WORK/files"; then
    fail "morvane-summary's manual page is installed without the tool"
  fi
  timeout 60 appstreamcli validate --no-net /usr/share/metainfo/org.morvane.transfer.metainfo.xml ||
    fail "appstreamcli rejects the installed metainfo"
  man -w morvane >/dev/null || fail "man does not find morvane(1)"
}

# Starts the installed program as an ordinary user (not root: to root every
# folder is writable) on the offscreen platform, with an empty port folder so
# that no real port is probed. Once its main window has loaded, the program
# has chosen where its settings go: its own folder, or, when that is not
# writable, as for an installed copy, the user's data folder. The help
# document is opened from the folder of the running program, which the
# program takes from /proc/self/exe, so that is where it must be.
check_start() {
  step "start the installed program offscreen"
  local data=$WORK/home/data
  mkdir -p "$WORK/home" "$WORK/ports" "$WORK/runtime"
  chmod 700 "$WORK/runtime"
  chown -R nobody:nogroup "$WORK/home" "$WORK/runtime"
  local run=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  env -i PATH=/usr/bin:/bin HOME="$WORK/home" XDG_DATA_HOME="$data" \
    XDG_RUNTIME_DIR="$WORK/runtime" QT_QPA_PLATFORM=offscreen MORVANE_NO_SIMULATOR=1 \
    MORVANE_PORT_DIR="$WORK/ports" "${run[@]}" timeout 60 morvane >"$WORK/morvane.log" 2>&1 &
  PROGRAM_PID=$!
  for _ in $(seq 200); do
    [ -d "$data/morvane" ] && break
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.1
  done
  local pid
  pid=$(pgrep -P "$PROGRAM_PID" -x morvane || true)
  [ -d "$data/morvane" ] || {
    cat "$WORK/morvane.log" >&2
    fail "the program did not come up (no $data/morvane after 20 s)"
  }
  [ -n "$pid" ] || fail "the program is not running after its window loaded"
  sleep 1
  kill -0 "$pid" 2>/dev/null || fail "the program ended after its window loaded"
  local exe folder
  exe=$(readlink "/proc/$pid/exe")
  folder=$(dirname "$exe")
  echo "running: $exe (pid $pid), settings in $data/morvane/"
  [ "$folder" = /usr/lib/morvane ] || fail "the running program is $exe, not the installed one"
  [ -f "$folder/MorvHelp.pdf" ] || fail "no help document at $folder/MorvHelp.pdf"
  [ "$(head -c 5 "$folder/MorvHelp.pdf")" = "%PDF-" ] || fail "$folder/MorvHelp.pdf is not a PDF"
  dpkg -S "$folder/MorvHelp.pdf" >/dev/null || fail "$folder/MorvHelp.pdf is not the package's"
  echo "help document: $folder/MorvHelp.pdf"
  kill -TERM "$pid"
  wait "$PROGRAM_PID" 2>/dev/null || true
  PROGRAM_PID=""
}

# Purges the package; none of its files may be left. Run as root, the
# program finds its own folder writable and keeps its settings file and raw
# log there, so two such files stand there first: the removal takes them
# along, and the folder with them.
remove_package() {
  step "apt-get purge morvane"
  printf '33\r\n' > /usr/lib/morvane/MorvTran.ini
  printf 'records\r\n' > /usr/lib/morvane/Raw.txt
  timeout 300 env DEBIAN_FRONTEND=noninteractive apt-get purge -y -o DPkg::Lock::Timeout=120 morvane ||
    fail "apt-get purge failed"
  ! known_to_dpkg || fail "dpkg still knows morvane after the purge"
  local file left=0
  while read -r file; do
    # Folders the system shares (/usr/share/man/man1 and the like) stay.
    [ -d "$file" ] && [ "${file#/usr/lib/morvane}" = "$file" ] &&
      [ "${file#/usr/share/doc/morvane}" = "$file" ] && continue
    if [ -e "$file" ] || [ -L "$file" ]; then
      echo "left behind: $file" >&2
      left=1
    fi
  done < "$WORK/files"
  INSTALLED=0
  [ "$left" -eq 0 ] || fail "files of the package are left after purge"
  echo "removed: $(wc -l < "$WORK/files") paths checked"
}

# A failed check leaves neither the program running nor the package
# installed.
cleanup() {
  # timeout passes the signal on to the program.
  [ -n "$PROGRAM_PID" ] && kill -TERM "$PROGRAM_PID" 2>/dev/null
  if [ "$INSTALLED" = 1 ]; then
    timeout 300 apt-get purge -y -o DPkg::Lock::Timeout=300 morvane >/dev/null 2>&1 ||
      echo "could not purge morvane again" >&2
  fi
  rm -rf "$WORK"
}

if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"
fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/check-deb.XXXXXX")
chmod 755 "$WORK" # the program and lintian run as nobody in folders here
PROGRAM_PID=""
INSTALLED=0
trap cleanup EXIT
find_package
run_lintian
install_package
check_contents
check_start
remove_package
echo "PASS: $DEB"
