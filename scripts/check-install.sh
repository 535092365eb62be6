#!/usr/bin/env bash
# check-install.sh BUILD_DIR: installs a build into a temporary prefix and checks what
# landed there: both programs run and print the project's version, formdesigner finds the
# window's program, the desktop entry and the AppStream metadata pass their validators,
# every icon size is there, the manual pages format without warnings and formdesigner(1)
# names every command of --help, the user guide and the systemd unit are in place. Exit 77 (skipped) when a validator is
# missing (scripts/install-deps.sh installs them).
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null || { echo "check-install: $tool missing: skipped"; exit 77; }
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
failures=0
fail() { echo "check-install: $*" >&2; failures=$((failures + 1)); }
have() { [ -s "$prefix/$1" ] || fail "$1 not installed"; }

id=org.formdesigner.FormDesigner
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
for program in formdesigner repository-server; do
    have "bin/$program"
    out=$("$prefix/bin/$program" --version 2>&1) || fail "$program --version failed"
    [ "$out" = "$program $version" ] || fail "$program --version says '$out', not $version"
done
# formdesigner hands the window and render to the program it installs under libexec (a
# render with nothing to draw reaches it and is refused there) and loads no Qt itself.
have libexec/formdesigner/formdesigner-gui
! readelf -d "$prefix/bin/formdesigner" | grep -q 'NEEDED.*libQt' || fail "formdesigner loads Qt"
out=$("$prefix/bin/formdesigner" render 2>&1) && fail "render without files succeeded"
grep -q "usage: formdesigner render" <<<"$out" || fail "render did not reach formdesigner-gui: $out"

have "share/applications/$id.desktop"
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry refused"
have "share/metainfo/$id.metainfo.xml"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "AppStream metadata refused: $(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml")"
grep -q "release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "AppStream release is not $version"

have "share/icons/hicolor/scalable/apps/$id.svg"
for size in 16 32 48 64 128 256; do
    png="share/icons/hicolor/${size}x${size}/apps/$id.png"
    have "$png"
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
    dims=$(od -An -tu1 -j16 -N8 "$prefix/$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done

for page in formdesigner repository-server; do
    man1="$prefix/share/man/man1/$page.1"
    have "share/man/man1/$page.1"
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
done
# Every command and option of --help is in the manual page.
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$prefix/share/man/man1/formdesigner.1" 2>/dev/null)
while read -r command; do
    grep -qF -- "$command" <<<"$text" || fail "formdesigner(1) lacks '$command'"
done < <("$prefix/bin/formdesigner" --help | sed -n 's/^  \([a-z-]\+\( [a-z]\+\)\?\)\( .*\)\?$/\1/p' |
    sed 's/ [A-Z].*//' | sort -u)

have "share/doc/formdesigner/README.md"
for doc in "$(dirname "$0")"/../docs/*.md; do
    have "share/doc/formdesigner/$(basename "$doc")"
done
unit="$prefix/lib/systemd/system/formdesigner-repository.service"
have lib/systemd/system/formdesigner-repository.service
grep -q "^ExecStart=$prefix/bin/repository-server --address 127.0.0.1 .*--db /var/lib/" "$unit" ||
    fail "the unit does not run the server on loopback with its database under /var/lib"
{ grep -q '^DynamicUser=yes' "$unit" && grep -q '^StateDirectory=formdesigner' "$unit"; } ||
    fail "the unit runs the server without a user and state folder of its own"

[ "$failures" -eq 0 ] || exit 1
echo "check-install: $(find "$prefix" -type f | wc -l) files installed and checked"
