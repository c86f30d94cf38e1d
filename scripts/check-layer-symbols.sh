#!/usr/bin/env bash
# Fails when a static library refers to a desktop layer it may not use: the engine to neither
# layer, one layer not to the other, the tool and the app to neither outside the layer choice.
# A reference is an undefined symbol in the layer's namespace (a call, a vtable, a dynamic_cast's
# type), so this holds for what links, not only for what is included.
#
# check-layer-symbols.sh LIBRARY LAYER... [--except OBJECT...]
#   LAYER: x11 or sim; OBJECT: a member's file name (Foo.cpp.o) that may still refer to them.
set -euo pipefail

library=$1
shift
layers=()
allowed=()
while [ $# -gt 0 ] && [ "$1" != --except ]; do
  layers+=("$1")
  shift
done
if [ $# -gt 0 ]; then
  shift
  allowed=("$@")
fi

pattern=$(printf 'kestles::%s::|' "${layers[@]}")
pattern=${pattern%|}
# nm -A prints "library:member: U symbol"; a symbol demangles with spaces, so only the first two
# fields are split off.
hits=$(nm -C -A --undefined-only "$library" | grep -E "$pattern" || true)
for object in "${allowed[@]}"; do
  hits=$(printf '%s\n' "$hits" | grep -v -F ":$object:" || true)
done
if [ -n "$hits" ]; then
  printf '%s\n' "$hits" >&2
  echo "check-layer-symbols: $(basename "$library") may not refer to these layers: ${layers[*]}" \
    "(go through KestlesEngine/PlatformChoice)" >&2
  exit 1
fi
