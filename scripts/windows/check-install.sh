#!/usr/bin/env bash
# Checks the installer as a Windows user meets it: installs it silently into a
# throw-away Wine prefix, starts the installed elcarta.exe with the Windows
# platform plugin under a virtual X server, opens every calculator from the
# menu with its access key, photographs each window, leaves through the menu's
# exit, and uninstalls silently; then unpacks the portable zip beside it and
# starts the program from there.
#   scripts/windows/check-install.sh <setup.exe> <folder for the pictures>
set -euo pipefail
setup=$(realpath "$1")
shots=$(realpath -m "$2")

if [ -z "${ELCARTA_CHECK_DISPLAY:-}" ]; then
  ELCARTA_CHECK_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

prefix=$(mktemp -d "${TMPDIR:-/tmp}/elcarta-wine.XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
# Only what the installer put into Program Files may be found.
unset WINEPATH
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$prefix"; }
trap cleanup EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

wine wineboot -i >/dev/null 2>&1
# Wine draws the title bars itself, as no window manager runs here, in its
# own Tahoma, which has no Chinese: link Chinese to it as Chinese Windows does.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma \
  /t REG_MULTI_SZ /d 'uming.ttc,AR PL UMing CN' /f >/dev/null 2>&1
# Its caption buttons are Marlett glyphs, a face Debian's Wine keeps where it
# does not look for it.
cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true

echo "Installing $(basename "$setup") silently"
timeout 300 wine "$setup" /S
wineserver -w
dir="$prefix/drive_c/Program Files/Elcarta"
for f in elcarta.exe Uninstall.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
         styles/qwindowsvistastyle.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll \
         LICENSES.txt licenses/LGPL-3.0-only.txt; do
  [ -f "$dir/$f" ] || fail "the installer left out $f"
done
find "$prefix/drive_c" -path '*Start Menu*' -iname '*.lnk' | grep -q . || fail "no Start menu entry"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Elcarta' >/dev/null 2>&1 ||
  fail "no uninstaller registered"
# A double click on a project file opens it in the installed program.
wine reg query 'HKCR\.elcarta' /ve 2>/dev/null | grep -q 'Elcarta.Project' || fail "*.elcarta is not registered"
command=$(wine reg query 'HKCR\Elcarta.Project\shell\open\command' /ve 2>/dev/null | tr -d '\r')
grep -qF '"C:\Program Files\Elcarta\elcarta.exe" "%1"' <<<"$command" ||
  fail "project files do not open in the program: $command"
echo "Project files (*.elcarta) open in the installed program"

echo "Starting the installed program"
mkdir -p "$shots"
rm -f "$shots"/*.png
# A missing platform plugin would leave it hanging behind an error box.
timeout 300 wine 'C:\Program Files\Elcarta\elcarta.exe' &
program=$!

# show <title>: waits for the window of that title and prints its X id.
show() {
  local id="" i
  for i in $(seq 1 120); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && break
    kill -0 "$program" 2>/dev/null || fail "the program ended before showing $1"
    sleep 0.5
  done
  [ -n "$id" ] || fail "no window $1 appeared"
  sleep 1.5 # painted, and past the menu's half second that keeps Alt+E from ending it
  echo "$id"
}
photo() {
  xwd -id "$1" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$shots/$2.png"
  echo "  $2: $(xwininfo -id "$1" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')"
}
press() {
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool key --clearmodifiers "$2"
}

menu=$(show Elcarta)
photo "$menu" dqjs
for pair in alt+f:负荷计算:fhjs alt+z:照度计算:zdjs alt+l:防雷计算:fljs alt+c:线槽计算:XCJS; do
  IFS=: read -r key title name <<<"$pair"
  press "$menu" "$key"
  window=$(show "$title")
  if [ "$name" = fhjs ]; then
    # A worked example from the keyboard: focus opens on the current, one
    # step back is the active power; then reactive power, apparent power and
    # current by their access keys.
    press "$window" shift+Tab
    xdotool type --delay 50 100
    for key in alt+c alt+s alt+a; do press "$window" "$key"; sleep 0.3; done
    sleep 0.5
  fi
  photo "$window" "$name"
  press "$window" alt+e
  menu=$(show Elcarta)
done
press "$menu" alt+e
for i in $(seq 1 60); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.5
done
kill -0 "$program" 2>/dev/null && fail "the menu's exit did not end the program"
wait "$program" || fail "the program ended with status $?"

echo "Uninstalling silently"
wine "$dir/Uninstall.exe" /S
wineserver -w
[ ! -e "$dir/elcarta.exe" ] || fail "the uninstaller left elcarta.exe behind"
! wine reg query 'HKCR\Elcarta.Project' >/dev/null 2>&1 || fail "the uninstaller left the project file type behind"

zip=${setup%-setup.exe}.zip
if [ -f "$zip" ]; then
  echo "Starting the program unpacked from $(basename "$zip")"
  portable="$prefix/drive_c/users/Public/Desktop"
  mkdir -p "$portable"
  (cd "$portable" && cmake -E tar xf "$zip")
  folder=$(basename "$zip" .zip)
  timeout 300 wine "C:\\users\\Public\\Desktop\\$folder\\elcarta.exe" &
  program=$!
  menu=$(show Elcarta)
  press "$menu" alt+e
  wait "$program" || fail "the unpacked program ended with status $?"
fi
echo "Installer checked; pictures of the installed program in $shots"
