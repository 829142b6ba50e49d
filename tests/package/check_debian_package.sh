#!/usr/bin/env bash
# `cpack -G DEB`: the package's files, their owners and modes, and its dependencies.
# Usage: check_debian_package.sh CPACK BUILD_DIR APP_ID VERSION
set -euo pipefail
cpack=$1 build=$2 id=$3 version=$4

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null ||
  fail "cpack did not build the package"
deb=$out/zub_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb; made: $(ls "$out")"

listing=$(dpkg-deb -c "$deb")
expected=(
  "-rwxr-xr-x root/root ./usr/bin/zub"
  "-rwxr-xr-x root/root ./usr/libexec/zub/zub-metafile-reader"
  "-rw-r--r-- root/root ./usr/share/applications/$id.desktop"
  "-rw-r--r-- root/root ./usr/share/metainfo/$id.metainfo.xml"
  "-rw-r--r-- root/root ./usr/share/mime/packages/$id.xml"
  "-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/$id.svg"
)
for size in 16 32 48 128 256; do
  expected+=("-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x$size/apps/$id.png")
done
# Files only (directories come and go with the tool's version): mode, owner and path.
diff -u <(printf '%s\n' "${expected[@]}" | sort) \
        <(awk '$1 !~ /^d/ { print $1, $2, $6 }' <<<"$listing" | sort) ||
  fail "the package's files differ from the expected ones (- expected, + packaged)"
awk '$1 ~ /^d/ && $2 != "root/root" { bad = 1 } END { exit bad }' <<<"$listing" ||
  fail "a folder in the package is not owned by root"

[ "$(dpkg-deb -f "$deb" Package)" = zub ] || fail "Package: $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version: $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
# From dpkg-shlibdeps: the libraries the program links, with versions; and the ones it loads
# or runs by name.
for package in libc6 'libstdc\+\+6' libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libxcb1 \
               libxcb-keysyms1 libxcb-xfixes0 'libicu[0-9]+' qt6-qpa-plugins fonts-wqy-microhei \
               xdg-utils; do
  grep -Eq "(^|, )$package( \(|,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done
grep -Eq 'libqt6core6 \(>= 6' <<<"$depends" || fail "Depends names no Qt version: $depends"

dpkg-deb -x "$deb" "$out/root"
for program in bin/zub libexec/zub/zub-metafile-reader; do
  file -b "$out/root/usr/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
echo "Debian package OK: $(basename "$deb"), $(stat -c %s "$deb") bytes"
