#!/usr/bin/env bash
# The Windows installer under Wine: builds it, installs it silently, checks what it put in place
# (the program and its DLLs, the Start menu entry, the .zub file type, the uninstaller), starts
# the installed program with a list document and waits for its window, then uninstalls it
# silently and checks that everything it put in place is gone again.
#
#   check_installer.sh CMAKE BUILD_DIR PREFIX INSTALLER_NAME
set -euo pipefail
cmake=$1 build=$2 prefix=$3 installer=$4
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "check_installer: $*" >&2; exit 1; }

"$cmake" --build "$build" --target zub_installer >/dev/null
[ -f "$build/$installer" ] || fail "no $installer was made"
echo "installer: $(stat -c %s "$build/$installer") bytes"

# Runs in the setting run_under_wine.sh makes: an X server, the prefix, no DLL paths (the
# installed program must bring its own).
exec "$here/run_under_wine.sh" "$prefix" "" bash -c '
set -euo pipefail
installer=$1
fail() { echo "check_installer: $*" >&2; exit 1; }
folder=$(winepath -u "C:\\Program Files\\Zub")
start_menu=$(winepath -u "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs")

wine "$installer" /S
wineserver -w
for file in zub.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll libgcc_s_seh-1.dll \
            libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll uninstall.exe; do
  [ -f "$folder/$file" ] || fail "the installer did not put $file in place"
done
[ -f "$start_menu/Zub剪贴板.lnk" ] || fail "no Start menu entry"
wine reg query "HKCR\\.zub" /ve | grep -q Zub.Document || fail "no .zub file type"
wine reg query "HKCR\\Zub.Document\\shell\\open\\command" /ve | grep -q "zub.exe" ||
  fail "the .zub file type does not open with the program"

# The installed program, with a list document, as a double-click would start it.
document=$(mktemp --suffix=.zub)
printf "installed\r\n" >"$document"
wine "$folder/zub.exe" "$(winepath -w "$document")" &
started=""
for _ in $(seq 150); do
  if xdotool search --name "Korvel剪贴板" >/dev/null 2>&1; then started=yes; break; fi
  sleep 0.2
done
[ -n "$started" ] || fail "the installed program showed no window"
import -window root "${TMPDIR:-/tmp}/zub-installed.png" 2>/dev/null || true
wineserver -k
wait || true
rm -f "$document"

# NSIS copies its uninstaller elsewhere and returns at once unless told where it runs from.
wine "$folder/uninstall.exe" /S "_?=C:\\Program Files\\Zub"
wineserver -w
rm -f "$folder/uninstall.exe"
[ ! -e "$folder" ] || [ -z "$(ls -A "$folder")" ] || fail "left behind: $(ls -R "$folder")"
[ ! -e "$start_menu/Zub剪贴板.lnk" ] || fail "the Start menu entry stayed"
if wine reg query "HKCR\\.zub" /ve >/dev/null 2>&1; then fail "the .zub file type stayed"; fi
echo "check_installer: installed, ran and uninstalled"
' check_installer "$build/$installer"
