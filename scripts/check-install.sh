#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks that every file lands where the desktop
# and the shells look for it, and that the installed tool runs. The build is first brought up
# to date for the tool and the app only, as scripts/run.sh builds it, with the generated
# completions gone: whatever the install needs must come with those two.
set -euo pipefail
build=${1:?the build folder}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
rm -rf "$build/completions"
cmake --build "$build" --target kestles kestles-app >/dev/null
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/kestles bin/kestles-app share/applications/co.quillmoss.Kestles.desktop \
  share/systemd/user/kestles.service share/bash-completion/completions/kestles \
  share/zsh/site-functions/_kestles share/fish/vendor_completions.d/kestles.fish \
  share/man/man1/kestles.1 share/man/man1/kestles-app.1; do
  [ -e "$prefix/$file" ] || { echo "missing after install: $file" >&2; exit 1; }
done
grep -q '^MimeType=x-scheme-handler/kestles;$' "$prefix/share/applications/co.quillmoss.Kestles.desktop"
grep -qx "ExecStart=$prefix/bin/kestles-app" "$prefix/share/systemd/user/kestles.service"
"$prefix/bin/kestles" --version >/dev/null
bash -n "$prefix/share/bash-completion/completions/kestles"
echo "install ok"
