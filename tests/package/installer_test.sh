#!/bin/sh
# The Windows installer under Wine, as a user meets it: a silent install
# (/S) into the test session's prefix, the program folder, the Start-menu
# shortcut and the entry under "Installed apps" checked; then the uninstall
# that entry names, also silent, and everything checked gone again. A file
# of the user's own in the program folder stays, with the folder. A silent
# install into Program Files is refused (exit code 4), and so are a silent
# install and uninstall while the program runs (exit code 3); the folder
# page, typed into as a person does, refuses Program Files with a message.
#   installer_test.sh <wine> <setup.exe> <program> <help document> <version>
# The program and help document are the files the installer should hold.
set -eu
wine=$1 installer=$2 program=$3 help=$4 version=$5
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvane'
shortcut_name='Morvane Data Transfer Utility.lnk'

fail() {
  printf 'FAIL: %s\n' "$*"
  exit 1
}
# Programs the test started are ended with it, however it ends.
own_pids=""
trap 'for pid in $own_pids; do kill "$pid" 2>/dev/null || true; done' EXIT
win_env() { "$wine" cmd /c echo "%$1%" </dev/null | tr -d '\r'; }
unix_path() { "$wine" winepath -u "$1" </dev/null 2>/dev/null; }
win_path() { "$wine" winepath -w "$1" </dev/null 2>/dev/null; }
has_key() { "$wine" reg query "$key" </dev/null >/dev/null 2>&1; }
reg_value() {
  "$wine" reg query "$key" /v "$1" </dev/null 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
u16_at() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u32_at() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }

# A string of a shell link (.lnk): after the 76-byte header, the item list
# and the link information when its flags say they are there, then counted
# UTF-16 strings, each only when its flag is set: name (4), relative path
# (8), working folder (16), arguments (32), icon location (64).
link_string() {
  flags=$(u32_at "$1" 20)
  pos=76
  if [ $((flags & 1)) -ne 0 ]; then pos=$((pos + 2 + $(u16_at "$1" $pos))); fi
  if [ $((flags & 2)) -ne 0 ]; then pos=$((pos + $(u32_at "$1" $pos))); fi
  for bit in 4 8 16 32 64; do
    [ $((flags & bit)) -ne 0 ] || continue
    length=$(u16_at "$1" $pos)
    if [ "$bit" = "$2" ]; then
      tail -c +$((pos + 3)) "$1" | head -c $((2 * length)) | tr -d '\000'
      return 0
    fi
    pos=$((pos + 2 + 2 * length))
  done
}

# status COMMAND...: the command's exit status, whatever it is.
status() {
  code=0
  "$@" </dev/null || code=$?
  echo "$code"
}

# Every Wine program of the run on the session's display (see
# cmake/wine_session.sh), the installed program's window among them.
if [ -s "$WINEPREFIX.display" ]; then
  DISPLAY=":$(cat "$WINEPREFIX.display")"
  export DISPLAY
fi

[ -f "$installer" ] || fail "$installer is missing: run \`make windows-package\`"

local_app_data=$(win_env LOCALAPPDATA)
win_dir="$local_app_data\\Programs\\Morvane"
dir=$(unix_path "$win_dir")
shortcut="$(unix_path "$(win_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs")/$shortcut_name"
[ -n "$dir" ] || fail "Wine does not name the folder $win_dir"

# What an interrupted run left behind would make the checks below pass or
# fail for the wrong reason.
program_files=$(win_env ProgramFiles)
if has_key; then "$wine" reg delete "$key" /f </dev/null >/dev/null 2>&1; fi
rm -rf "$dir" "$shortcut" "$(unix_path "$program_files\\Morvane")"

# The system's folders need administrator rights, which a per-user install
# never has. (cmd hands /D= on as it stands; the installer takes it only
# unquoted, spaces and all.)
refused=$(status "$wine" cmd /c "$(win_path "$installer") /S /D=$program_files\\Morvane")
[ "$refused" = 4 ] || fail "a silent install into $program_files ends with status $refused, not 4"
[ ! -e "$(unix_path "$program_files\\Morvane")" ] || fail "the refused install made $program_files\\Morvane"
! has_key || fail "the refused install made the uninstall entry"

# The same folder typed on the folder page, as a person does: Install
# brings up the message (a second window with the installer's caption),
# OK returns to the page, and Cancel leaves with nothing installed.
setup_windows() {
  timeout 10 xdotool search --name '^Morvane Data Transfer Utility Setup' 2>/dev/null | wc -l
}
wait_windows() {
  deadline=$(($(date +%s) + 20))
  until [ "$(setup_windows)" = "$1" ]; do
    [ "$(date +%s)" -lt "$deadline" ] || fail "waited 20 s in vain: $2"
    sleep 0.3
  done
}
"$wine" "$installer" </dev/null >/dev/null 2>&1 &
setup=$!
own_pids="$own_pids $setup"
wait_windows 1 "the installer's folder page"
page=$(timeout 10 xdotool search --name '^Morvane Data Transfer Utility Setup' | head -n 1)
# A click on the page's heading gives it the keyboard.
timeout 10 xdotool mousemove --window "$page" 200 30 click 1
timeout 10 xdotool key --clearmodifiers ctrl+a
timeout 10 xdotool type --delay 20 "$program_files\\Morvane"
timeout 10 xdotool key Return
wait_windows 2 "the message refusing $program_files\\Morvane"
timeout 10 xdotool key Return
wait_windows 1 "the folder page again after the message"
timeout 10 xdotool key Escape
wait_windows 0 "the installer ending on Cancel"
wait "$setup" 2>/dev/null || true
[ ! -e "$(unix_path "$program_files\\Morvane")" ] || fail "the folder page let $program_files\\Morvane through"
! has_key || fail "the cancelled install made the uninstall entry"

"$wine" "$installer" /S </dev/null || fail "the silent install ends with status $?"

# Per user by default: the program folder is the user's own, so the
# program's files go beside it.
[ "$(reg_value InstallLocation)" = "$win_dir" ] ||
  fail "installed into '$(reg_value InstallLocation)', not $win_dir"
cmp "$program" "$dir/morvane.exe" || fail "morvane.exe is not the built program"
cmp "$help" "$dir/MorvHelp.pdf" || fail "MorvHelp.pdf is not the rendered help document"
[ -f "$dir/morvane-summary.exe" ] || fail "no morvane-summary.exe in $dir"
[ -f "$dir/Uninstall.exe" ] || fail "no uninstaller in $dir"
[ "$(reg_value DisplayName)" = "Morvane Data Transfer Utility" ] || fail "DisplayName: $(reg_value DisplayName)"
[ "$(reg_value DisplayVersion)" = "$version" ] || fail "DisplayVersion: $(reg_value DisplayVersion)"
[ "$(reg_value DisplayIcon)" = "$win_dir\\morvane.exe,0" ] || fail "DisplayIcon: $(reg_value DisplayIcon)"

# The shortcut starts the installed program and shows the program's own
# icon, its first (number 0, at offset 56 of the link).
[ -f "$shortcut" ] || fail "no Start-menu shortcut $shortcut"
tr -d '\000' <"$shortcut" | grep -aqF "$win_dir\\morvane.exe" ||
  fail "the shortcut does not start $win_dir\\morvane.exe"
[ "$(link_string "$shortcut" 64)" = "$win_dir\\morvane.exe" ] ||
  fail "the shortcut's icon comes from '$(link_string "$shortcut" 64)'"
[ "$(u32_at "$shortcut" 56)" = 0 ] || fail "the shortcut's icon is number $(u32_at "$shortcut" 56)"
# It starts in Documents, where the first save dialog then opens.
documents="$(win_env USERPROFILE)\\Documents"
[ "$(link_string "$shortcut" 16)" = "$documents" ] ||
  fail "the shortcut starts in '$(link_string "$shortcut" 16)', not $documents"

# A running copy: its files cannot be replaced or deleted, so both refuse
# and leave everything as it was. The uninstaller runs in place (_?=): the
# one the entry names hands over to a copy of itself and returns at once.
"$wine" "$dir/morvane.exe" </dev/null >/dev/null 2>&1 &
running=$!
own_pids="$own_pids $running"
deadline=$(($(date +%s) + 30))
until timeout 10 xdotool search --name \
  '^Morvane Data Transfer Utility$' >/dev/null 2>&1; do
  [ "$(date +%s)" -lt "$deadline" ] || fail "the installed program shows no window within 30 s"
  sleep 0.3
done
refused=$(status "$wine" "$installer" /S)
[ "$refused" = 3 ] || fail "a silent install over the running program ends with status $refused, not 3"
refused=$(status "$wine" "$dir/Uninstall.exe" /S "_?=$win_dir")
[ "$refused" = 3 ] || fail "a silent uninstall of the running program ends with status $refused, not 3"
has_key && [ -f "$dir/morvane.exe" ] && [ -f "$shortcut" ] || fail "the refused uninstall removed files"
kill "$running"
wait "$running" 2>/dev/null || true

# As after a transfer, with an output file the user saved there.
printf '3\r\n' >"$dir/MorvTran.ini"
printf 'data\r\n' >"$dir/Raw.txt"
printf '1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\n' >"$dir/survey.csv"

uninstall=$(reg_value QuietUninstallString)
uninstaller=$(printf '%s' "$uninstall" | sed -n 's/^"\([^"]*\)" \/S$/\1/p')
[ -n "$uninstaller" ] || fail "QuietUninstallString is not a silent uninstall: $uninstall"
"$wine" "$uninstaller" /S </dev/null || fail "the silent uninstall ends with status $?"
# The uninstaller runs on from a copy of itself and the started one returns
# at once; the entry goes last.
deadline=$(($(date +%s) + 30))
while has_key; do
  [ "$(date +%s)" -lt "$deadline" ] || fail "the uninstall entry is still there after 30 s"
  sleep 0.3
done

[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
[ -d "$dir" ] || fail "the uninstall removed the user's own file with the folder"
left=$(ls -A "$dir")
[ "$left" = survey.csv ] || fail "left in the program folder: $left"
rm -rf "$dir"
printf '%s\n' "installed into $win_dir, shortcut and uninstall entry made; uninstalled"
