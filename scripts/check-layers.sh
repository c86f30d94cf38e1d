#!/usr/bin/env bash
# Fails when an include crosses a layer the wrong way. Dependencies run tool and app -> engine
# -> core: the core includes nothing of the engine, the link protocol, the app, the tool or
# X11; the engine nothing of the link protocol, the app or the tool; the link protocol nothing
# of the rest. Every offending line is printed as file:line: include.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0

# check <folder> <what it may not include, as an extended regular expression> <why> [pathspec...]
# (the pathspecs, such as ':!folder/File.cpp', leave files out)
check() {
  local folder=$1 forbidden=$2 why=$3
  shift 3
  local hits
  hits=$(git ls-files -z --cached --others --exclude-standard -- "$folder" "$@" | grep -z -E '\.(c|h|cpp|hpp)$' |
    xargs -0 -r grep -n -H -E "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($forbidden)" || true)
  if [ -n "$hits" ]; then
    echo "$hits" >&2
    echo "check-layers: $why" >&2
    status=1
  fi
}

check KestlesCore 'KestlesEngine/|KestlesLink/|KestlesApp/|kestles/|X11/|xcb/' \
  "the core includes nothing of the engine, the link protocol, the app, the tool or X11"
check KestlesEngine 'KestlesLink/|KestlesApp/|kestles/' \
  "the engine includes nothing of the link protocol, the app or the tool"
# The engine is written once against the platform interfaces; each layer stands alone; the
# layer choice is the one file that names both.
check KestlesEngine/engine 'KestlesEngine/(x11|sim|ipc)/' "the engine includes no desktop layer"
check KestlesEngine/platform 'KestlesEngine/(x11|sim|ipc)/' \
  "the platform interfaces include no desktop layer"
check KestlesEngine/sim 'KestlesEngine/(x11|ipc)/' "the simulated desktop includes no other layer"
check KestlesEngine/x11 'KestlesEngine/(sim|ipc)/' "the X11 layer includes no other layer"
# The IPC layer shares the X11 folder's desktop entries and its observer list, nothing else.
check KestlesEngine/ipc \
  'KestlesEngine/sim/|xcb/|KestlesEngine/x11/(overlay/|X11(Accessibility|AppOpener|Connection|Desktop|Displays|Events|HotKeys|Input|Key|Layer|Placement|Reply|Screens|Session|Window|Workspace))' \
  "the IPC layer includes nothing of X11 but the desktop entries and the observer list"
check kestles 'KestlesEngine/(x11|sim|ipc)/' "the tool reaches the desktop layers through PlatformChoice"
check KestlesApp 'KestlesEngine/(x11|sim|ipc)/' "the app reaches the desktop layers through PlatformChoice"
check KestlesLink 'KestlesCore/|KestlesEngine/|KestlesApp/|kestles/|X11/|xcb/' \
  "the link protocol includes nothing of the model, the engine, the app or the tool"
check kestles 'KestlesApp/' "the tool includes nothing of the app"
check KestlesApp 'kestles/' "the app includes nothing of the tool"

if [ $status -eq 0 ]; then echo "check-layers: every include goes the right way"; fi
exit $status
