#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks what it holds.
set -euo pipefail
build=$1
cpack=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$cpack" --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/*.deb)
contents=$(dpkg-deb -c "$deb")
depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)

fail=0
for path in ./usr/bin/elcarta \
            ./usr/share/applications/org.elcarta.Elcarta.desktop \
            ./usr/share/metainfo/org.elcarta.Elcarta.metainfo.xml \
            ./usr/share/mime/packages/org.elcarta.Elcarta.xml \
            ./usr/share/icons/hicolor/48x48/apps/org.elcarta.Elcarta.png \
            ./usr/share/icons/hicolor/256x256/apps/org.elcarta.Elcarta.png; do
  grep -q " $path\$" <<<"$contents" || { echo "missing in package: $path"; fail=1; }
done
for dep in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins qt6-translations-l10n fonts-arphic-uming fonts-arphic-ukai; do
  grep -q "$dep" <<<"$depends" || { echo "package does not depend on $dep: $depends"; fail=1; }
done
grep -q "fonts-noto-cjk" <<<"$recommends" || { echo "package does not recommend fonts-noto-cjk: $recommends"; fail=1; }
# A double click on a project file opens it: the entry takes the file and names its type.
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/org.elcarta.Elcarta.desktop)
grep -q '^Exec=elcarta %f$' <<<"$entry" || { echo "the desktop entry does not pass the file: $(grep ^Exec <<<"$entry")"; fail=1; }
grep -q '^MimeType=application/x-elcarta-project;$' <<<"$entry" || { echo "the desktop entry names no project type"; fail=1; }
mime=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/mime/packages/org.elcarta.Elcarta.xml)
grep -q 'glob pattern="\*.elcarta"' <<<"$mime" || { echo "the MIME type does not match *.elcarta"; fail=1; }
[ "$fail" -eq 0 ] && echo "package $(basename "$deb") holds the program, its entry, metainfo, icons and project type"
exit "$fail"
