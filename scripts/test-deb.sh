#!/usr/bin/env bash
# test-deb.sh: builds the Debian package (cpack -G DEB from the release build) and tries
# it as a new user would on a fresh Debian: a bookworm chroot made with debootstrap,
# `apt install ./formdesigner_*.deb`, then `formdesigner --help`, the repository server,
# a form fetched from it and drawn with sample data. Where no chroot can be made (not
# root, no debootstrap, no mirror), it says so and checks the package with dpkg-deb
# instead. Takes several minutes; not part of scripts/test.sh.
# FD_DEB_MIRROR overrides the mirror (default: the first of apt's configured sources).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFD_BUILD_TESTS=OFF \
    -DFD_BUILD_BENCH=OFF
rm -f build/release/formdesigner_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/formdesigner_*.deb)
echo "== package $deb"

# What every check shares: the files the package lays down and dependencies that
# dpkg-shlibdeps computed (the Qt and SQLite libraries at least).
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libsqlite3-0 libc6; do
    grep -q "$lib" <<<"$depends" || { echo "test-deb: $lib missing from Depends" >&2; exit 1; }
done
files=$(dpkg-deb -c "$deb")
for f in ./usr/bin/formdesigner ./usr/bin/repository-server \
    ./usr/share/applications/org.formdesigner.FormDesigner.desktop \
    ./usr/share/metainfo/org.formdesigner.FormDesigner.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/org.formdesigner.FormDesigner.svg \
    ./usr/share/man/man1/formdesigner.1 ./usr/share/man/man1/repository-server.1 \
    ./usr/share/doc/formdesigner/README.md ./usr/lib/systemd/system/formdesigner-repository.service; do
    grep -q " $f\$" <<<"$files" || { echo "test-deb: $f not in the package" >&2; exit 1; }
done
unit=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/systemd/system/formdesigner-repository.service)
grep -q '^ExecStart=/usr/bin/repository-server --address 127.0.0.1 ' <<<"$unit" ||
    { echo "test-deb: the unit does not start /usr/bin/repository-server on loopback" >&2; exit 1; }

fallback() {
    echo "test-deb: no fresh Debian chroot here ($1); the package was checked with dpkg-deb only"
    exit 0
}
[ "$(id -u)" -eq 0 ] || fallback "debootstrap and chroot need root"
command -v debootstrap >/dev/null || fallback "debootstrap is not installed (apt-get install debootstrap)"
mirror=${FD_DEB_MIRROR:-$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)}
mirror=${mirror:-http://deb.debian.org/debian}

root=$(mktemp -d /tmp/formdesigner-deb.XXXXXX)
server_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    mountpoint -q "$root/proc" && umount "$root/proc"
    rm -rf "$root"
}
trap cleanup EXIT
echo "== debootstrap bookworm from $mirror into $root"
start=$(date +%s)
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 ||
    { tail -5 "$root.log"; rm -f "$root.log"; fallback "debootstrap failed"; }
rm -f "$root.log"
mount -t proc proc "$root/proc"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
echo "== apt install ./$(basename "$deb")"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")" >/dev/null
in_root formdesigner --help >"$root/tmp/help.txt"
head -3 "$root/tmp/help.txt"
in_root formdesigner --version
in_root repository-server --version

echo "== the server and the designer's tools inside the chroot"
chroot "$root" repository-server --port 0 --db /tmp/repository.db --seed-demo >"$root/tmp/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 100); do grep -q '^listening on ' "$root/tmp/server.log" && break; sleep 0.1; done
port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$root/tmp/server.log")
[ -n "$port" ] || { cat "$root/tmp/server.log"; echo "test-deb: the server did not start" >&2; exit 1; }
in_root formdesigner forms list --server "127.0.0.1:$port" >"$root/tmp/forms.txt"
head -3 "$root/tmp/forms.txt"
in_root formdesigner forms get CHARGE01 /tmp/forms --server "127.0.0.1:$port" >/dev/null
in_root env QT_QPA_PLATFORM=offscreen formdesigner render /tmp/forms/CHARGE01.ldt /tmp/forms/c.png \
    --sample --server "127.0.0.1:$port"
[ -s "$root/tmp/forms/c.png" ] || { echo "test-deb: nothing drawn" >&2; exit 1; }
echo "test-deb: installed and ran in a fresh bookworm chroot in $(($(date +%s) - start)) s"
