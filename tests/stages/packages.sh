#!/usr/bin/env bash
# The packages stage, on the packages scripts/package.sh built (the packages
# fixture of the test list): checks the amd64 one with lintian, installs it on this machine with apt-get, plays the
# installed game from an empty folder under Xvfb, purges it again, plays the
# web zip's page under a sub-path of a loopback web server in headless
# Chromium, plays the unzipped Windows build under Wine, and there installs,
# plays and uninstalls it with its installer. (The arm64 package has its own
# stage.)
# The machine is left as it was found: the package and every package its
# installation pulled in are purged. Needs root (or sudo) for apt-get.
# Usage: tests/stages/packages.sh BUILD_DIR [ASAN_BUILD_DIR]
#   BUILD_DIR holds the end-to-end helpers (tests/e2e/image_probe, x11_close).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$root/build}")
probe="$build/tests/e2e/image_probe"
closer="$build/tests/e2e/x11_close"
out="$build/packages"
rm -rf "$out"
mkdir -p "$out"
unset SDL_VIDEODRIVER
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
apt=($SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq)

# shellcheck source=tests/lib/stage.sh
source "$root/tests/lib/stage.sh"
work=$(mktemp -d)
installed_by_us=no
: >"$out/brought.txt"
cleanup() {
  kill_game
  stop_wine
  stop_xvfb
  if [ "$installed_by_us" = yes ]; then purge_ours >/dev/null 2>&1; fi
  rm -rf "$work"
}
trap cleanup EXIT
finish() {
  closing_line packages
  exit
}
# Those of the packages the installation brought ($out/brought.txt) that are
# on the machine, purged or not.
brought_present() {
  local brought
  mapfile -t brought <"$out/brought.txt"
  [ ${#brought[@]} -gt 0 ] || return 0
  dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "${brought[@]}" 2>/dev/null |
    awk '$1 !~ /^.n/ {print $2}'
}
# Purges dravik and whatever its installation brought in.
purge_ours() {
  local present
  present=$(brought_present)
  [ -z "$present" ] || "${apt[@]}" purge $present
  installed_by_us=no
}

# --- what scripts/package.sh built ------------------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build-deb/CMakeCache.txt")
deb_name="dravik_${version}_amd64.deb"
zip_name="dravik-${version}-windows-x64.zip"
setup_name="dravik-${version}-windows-x64-setup.exe"
web_name="dravik-${version}-web"
check "build-pkg holds exactly the two .debs, $zip_name, $setup_name and $web_name.zip" \
  [ "$(ls "$root/build-pkg")" = "$(printf '%s\n' "$deb_name" "dravik_${version}_arm64.deb" \
  "$zip_name" "$setup_name" "$web_name.zip" | sort)" ]
stat -c '  %n: %s bytes' "$root/build-pkg"/*
# A copy that apt's unprivileged download user can read.
mkdir -m 755 "$work/deb"
install -m 644 "$root/build-pkg/$deb_name" "$work/deb/"
deb="$work/deb/$deb_name"

# --- the package's contents ------------------------------------------------------------
lintian -i -I -E --pedantic "$deb" >"$out/lintian.txt" 2>&1
grep -E '^[EWIPX]: ' "$out/lintian.txt" | sed 's/^/  lintian: /'
check "lintian reports no errors or warnings" bash -c "! grep -q '^[EW]: ' '$out/lintian.txt'"
dpkg-deb -x "$deb" "$work/contents"
binary="$work/contents/usr/lib/games/dravik/dravik"
check "the game is stripped, without debug sections" \
  bash -c "file -b '$binary' | grep -q ', stripped' && ! readelf -S '$binary' | grep -q '\.debug_'"
check "the desktop entry passes desktop-file-validate" \
  desktop-file-validate "$work/contents/usr/share/applications/dravik.desktop"
appstreamcli validate --no-net "$work/contents/usr/share/metainfo/dravik.metainfo.xml" \
  >"$out/appstream.txt" 2>&1
check "the AppStream metadata has no errors" bash -c "! grep -q '^E: ' '$out/appstream.txt'"

# --- installed ---------------------------------------------------------------------------
if dpkg-query -W -f='${Status}' dravik 2>/dev/null | grep -q 'install ok installed'; then
  fail "dravik is not installed before the stage (it would be replaced and purged)"
  finish
fi
# What the installation brings: the package and any dependency missing here.
# Only these are purged afterwards, so that packages which others install
# meanwhile stay.
"${apt[@]}" -s install "$deb" 2>/dev/null | awk '/^Inst /{print $2}' >"$out/brought.txt"
echo "  apt-get install brings: $(tr '\n' ' ' <"$out/brought.txt")"
if ! grep -qx dravik "$out/brought.txt"; then
  fail "apt-get can install the package (simulated)"
  finish
fi
dpkg-deb -c "$deb" | awk '{print substr($6, 2)}' | sed 's|/$||' | grep -v '^$' >"$out/deb-paths.txt"
# The paths the package brings that the machine did not have.
while read -r path; do
  [ -e "$path" ] || echo "$path"
done <"$out/deb-paths.txt" >"$out/new-paths.txt"
installed_by_us=yes
if "${apt[@]}" install "$deb" >"$out/apt-install.log" 2>&1; then
  pass "apt-get install of the package"
else
  tail -n 20 "$out/apt-install.log"
  fail "apt-get install of the package"
  finish
fi

if ! start_xvfb 140; then
  fail "Xvfb starts"
  finish
fi
# A private runtime folder, as a desktop session has; the game leaves it
# empty, as it does its home.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
empty="$work/empty"
home="$work/home"
mkdir "$empty" "$home"
package_files=$(find /usr/lib/games/dravik /usr/share/games/dravik | sort)
game_command=(env HOME="$home" /usr/games/dravik)
if start_game "$empty" installed; then
  pass "/usr/games/dravik opens the window from an empty folder"
  check_drawn installed "installed game"
  close_game
  check "installed game: close request exits with code 0 (got $exit_code)" [ "$exit_code" = 0 ]
  check "installed game: nothing on standard error" [ ! -s "$out/installed.err" ]
  [ -s "$out/installed.err" ] && sed 's/^/    /' "$out/installed.err"
  check "installed game: nothing written into the folder it was started from" \
    [ -z "$(ls -A "$empty")" ]
  check "installed game: nothing written into its home or runtime folder" \
    [ -z "$(find "$home" "$XDG_RUNTIME_DIR" -mindepth 1)" ]
  check "installed game: nothing written into its installed folders" \
    [ "$(find /usr/lib/games/dravik /usr/share/games/dravik | sort)" = "$package_files" ]
  check "installed game: its files are unchanged (dpkg --verify)" \
    [ -z "$(dpkg --verify dravik 2>&1)" ]
else
  fail "/usr/games/dravik opens the window from an empty folder"
  cat "$out/installed.err"
fi

# --- purged ------------------------------------------------------------------------------
if purge_ours >"$out/apt-purge.log" 2>&1; then pass "apt-get purge of the package"; else
  tail -n 20 "$out/apt-purge.log"
  fail "apt-get purge of the package"
fi
left=$(while read -r path; do [ ! -e "$path" ] || echo "$path"; done <"$out/new-paths.txt")
check "purge leaves none of the package's files ($(wc -l <"$out/new-paths.txt") paths)" [ -z "$left" ]
[ -z "$left" ] || sed 's/^/    left: /' <<<"$left"
check "every package the installation brought is purged again" [ -z "$(brought_present)" ]

# --- the web zip -------------------------------------------------------------------------
echo "  figure: web zip: $(stat -c %s "$root/build-pkg/$web_name.zip") bytes"
mkdir -p "$work/web/games"
unzip -q "$root/build-pkg/$web_name.zip" -d "$work/web/games"
site="$work/web/games/$web_name"
listed=$(sed -n "s/^const files = \[\(.*\)\];$/\1/p" "$site/sw.js" | tr -d "'," | tr ' ' '\n')
check "the web zip holds one folder, $web_name, with the service worker, the files it keeps and LICENSES.txt" \
  [ "$(ls -A "$work/web/games"):$(cd "$site" && find . -type f | cut -c3- | sort)" = \
  "$web_name:$(printf '%s\n' sw.js LICENSES.txt $listed | sort)" ]
source "$root/scripts/lib/debian.sh"
install_missing chromium python3 python3-websocket >/dev/null
(cd "$root/tests/web" && PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 hosted.py --root "$work/web" \
  --path "games/$web_name/" --probe "$probe" --out "$out/web") | tee "$out/hosted.log"
read -r web_passed web_failed <<<"$(sed -n 's/^hosted: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' \
  "$out/hosted.log")"
passed=$((passed + ${web_passed:-0}))
failed=$((failed + ${web_failed:-1}))

# --- the Windows zip -------------------------------------------------------------------------
unzip -q "$root/build-pkg/$zip_name" -d "$work/zip"
folder="$work/zip/dravik-${version}-windows-x64"
check "the zip holds one folder, dravik-${version}-windows-x64" \
  [ "$(ls -A "$work/zip")" = "dravik-${version}-windows-x64" ]
check "the folder holds dravik.exe, data/, README.txt and LICENSES.txt" \
  [ "$(ls -A "$folder" | sort)" = "$(printf '%s\n' LICENSES.txt README.txt data dravik.exe | sort)" ]
check "LICENSES.txt gives the notices of the three libraries in dravik.exe and the Apache License" \
  [ "$(grep -c $'built into dravik.exe\r$' "$folder/LICENSES.txt"):$(grep -c 'TERMS AND CONDITIONS FOR USE' \
  "$folder/LICENSES.txt")" = 3:1 ]
# Wine's desktop integration (menu folders) stays in the stage's folder.
export XDG_DATA_HOME="$work/xdg-data" XDG_CONFIG_HOME="$work/xdg-config"
start_wine "$work/wine-prefix"
game_command=("$wine" dravik.exe)
E2E_SETTLE=2 E2E_FOCUS=0.3
if start_game "$folder" zip; then
  pass "dravik.exe from the zip opens the window in its own folder under Wine"
  check_drawn zip "dravik.exe from the zip"
  close_game 15
  check "dravik.exe from the zip: close request exits with code 0 (got $exit_code)" \
    [ "$exit_code" = 0 ]
else
  fail "dravik.exe from the zip opens the window in its own folder under Wine"
  cat "$out/zip.err"
fi

# --- the Windows installer -------------------------------------------------------------------
# What it makes: the install folder, the all-users Start-menu shortcut and the
# uninstall entry (64-bit registry view). Wine's menu builder stays off: it
# would mirror the shortcut into a desktop menu and note that in the registry.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
drive_c="$WINEPREFIX/drive_c"
install_dir="$drive_c/Program Files/ZOKT 5 Dravik"
win_dir='C:\Program Files\ZOKT 5 Dravik'
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ZOKT 5 Dravik.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZOKT 5 Dravik'
snapshot() {  # the C: drive's paths and the software keys, to compare with later
  find "$drive_c" | sort >"$out/drive-c-$1.txt"
  "$wine" reg export 'HKLM\Software' "$out/hklm-$1.reg" /y /reg:64 >/dev/null 2>&1
  "$wine" reg export 'HKCU\Software' "$out/hkcu-$1.reg" /y >/dev/null 2>&1
}
value() {  # value NAME: the uninstall entry's value NAME
  "$wine" reg query "$key" /v "$1" /reg:64 2>/dev/null | tr -d '\r' |
    awk -v n="$1" '$1 == n {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print}'
}
snapshot before
check "$setup_name /S installs silently" "$wine" "$root/build-pkg/$setup_name" /S
check "the install folder holds dravik.exe, data/, README.txt, LICENSES.txt and Uninstall.exe" \
  [ "$(ls -A "$install_dir" | sort)" = \
    "$(printf '%s\n' LICENSES.txt README.txt Uninstall.exe data dravik.exe | sort)" ]
check "its dravik.exe and data/ are the zip's, byte for byte" \
  bash -c "cmp '$folder/dravik.exe' '$install_dir/dravik.exe' && diff -r '$folder/data' '$install_dir/data'"
# Its target is an ANSI string in the link information, its working folder UTF-16.
check "the Start-menu shortcut starts the installed dravik.exe in the install folder" \
  bash -c "strings -a '$shortcut' | grep -qxF '$win_dir\\dravik.exe' &&
           strings -a -el '$shortcut' | grep -qxF '$win_dir'"
entry="$(value DisplayName)|$(value DisplayVersion)|$(value Publisher)|$(value UninstallString)"
check "the uninstall entry: name, version, publisher, uninstaller" \
  [ "$entry" = "ZOKT 5 Dravik|$version|ZOKT 5 Dravik developers|\"$win_dir\\Uninstall.exe\"" ]
size_kib=$(du -sk --apparent-size "$install_dir" | cut -f1)
check "its EstimatedSize is the install folder's size ($size_kib KiB)" awk -v e="$(($(value EstimatedSize)))" -v s="$size_kib" 'BEGIN{exit !(e > 0.9 * s && e < 1.1 * s)}'
check "it is in the 64-bit view only" bash -c "! '$wine' reg query '$key' /reg:32 >/dev/null 2>&1"

mkdir "$work/elsewhere"
game_command=("$wine" "$win_dir\\dravik.exe")
if start_game "$work/elsewhere" installed-exe; then
  check_drawn installed-exe "installed dravik.exe, started from another folder"
  close_game 15
  check "installed dravik.exe: exits with code 0 (got $exit_code), writes nothing where started" \
    [ "$exit_code:$(ls -A "$work/elsewhere")" = 0: ]
else
  fail "the installed dravik.exe opens the window, started from another folder"
  cat "$out/installed-exe.err"
fi

# The uninstaller returns at once and goes on from a copy in the user's Temp
# folder, which it leaves for Windows to delete at the next restart.
"$wine" "$win_dir\\Uninstall.exe" /S
for _ in $(seq 300); do [ -e "$install_dir" ] || [ -e "$shortcut" ] || break; sleep 0.1; done
check "Uninstall.exe /S removes the install folder, the shortcut and the uninstall entry" \
  bash -c "[ ! -e '$install_dir' ] && [ ! -e '$shortcut' ] && ! '$wine' reg query '$key' /reg:64 >/dev/null 2>&1"
snapshot after
left=$(comm -13 "$out/drive-c-before.txt" "$out/drive-c-after.txt" |
  grep -v '/users/[^/]*/Temp/~nsu[0-9]*\.tmp\(/\|$\)')
check "nothing else of it is left on the C: drive" [ -z "$left" ]
[ -z "$left" ] || sed 's/^/    left: /' <<<"$left"
check "the registry's software keys are as before the installation" \
  bash -c "cmp -s '$out/hklm-before.reg' '$out/hklm-after.reg' &&
           ! iconv -f UTF-16LE -t UTF-8 '$out/hkcu-after.reg' | grep -qi dravik"
finish
