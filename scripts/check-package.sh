#!/usr/bin/env bash
# Builds the Debian package of a build with CPack and unpacks it into a scratch root: the
# programs, the desktop entry, the autostart entry, the user unit, the completions and the
# manual pages must be where a Debian system looks for them, and the package must depend on
# the libraries the programs load.
set -euo pipefail
build=$(cd "${1:?the build folder}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --build "$build" --target kestles kestles-app >/dev/null
(cd "$scratch" && cpack -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$scratch"/out/kestles_*.deb)
dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root
for file in usr/bin/kestles usr/bin/kestles-app \
  usr/share/applications/co.quillmoss.Kestles.desktop \
  etc/xdg/autostart/co.quillmoss.Kestles.desktop \
  usr/share/systemd/user/kestles.service \
  usr/share/bash-completion/completions/kestles usr/share/zsh/site-functions/_kestles \
  usr/share/fish/vendor_completions.d/kestles.fish \
  usr/share/man/man1/kestles.1 usr/share/man/man1/kestles-app.1; do
  [ -e "$root/$file" ] || { echo "missing from the package: $file" >&2; exit 1; }
done
[ -x "$root/usr/bin/kestles" ] && [ -x "$root/usr/bin/kestles-app" ]
grep -qx 'ExecStart=/usr/bin/kestles-app' "$root/usr/share/systemd/user/kestles.service"
grep -qx 'Exec=kestles-app' "$root/etc/xdg/autostart/co.quillmoss.Kestles.desktop"
# Nothing of the build's own folders or of the prefix it was configured for.
if find "$root" -path '*/usr/local*' | grep -q .; then
  echo "the package holds files under /usr/local" >&2
  exit 1
fi
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libxcb1 libutf8proc libsystemd0 libcurl; do
  case "$depends" in
    *"$library"*) ;;
    *) echo "the package does not depend on $library: $depends" >&2; exit 1 ;;
  esac
done
# The pages are valid roff that man can lay out (in UTF-8, as man reads them through preconv).
if command -v groff >/dev/null && command -v preconv >/dev/null; then
  for page in kestles kestles-app; do
    preconv -e UTF-8 "$root/usr/share/man/man1/$page.1" |
      groff -man -Tutf8 -ww -z 2>"$scratch/warnings"
    if [ -s "$scratch/warnings" ]; then cat "$scratch/warnings" >&2; exit 1; fi
  done
fi
echo "package ok"
