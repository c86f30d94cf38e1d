#!/usr/bin/env bash
# Fails when a tracked C or C++ source differs from what clang-format makes of it, naming the
# files and lines. Run from anywhere; CLANG_FORMAT picks the binary (default: clang-format).
set -euo pipefail
cd "$(dirname "$0")/.."

clang_format=${CLANG_FORMAT:-clang-format}
if ! command -v "$clang_format" >/dev/null; then
  echo "check-format: $clang_format is not installed" >&2
  exit 1
fi

mapfile -d '' files < <(git ls-files -z --cached --others --exclude-standard -- '*.c' '*.h' '*.cpp' '*.hpp')
if [ ${#files[@]} -eq 0 ]; then
  echo "check-format: no sources found" >&2
  exit 1
fi
if ! "$clang_format" --dry-run --Werror "${files[@]}"; then
  echo "check-format: the files above are not formatted; run: $clang_format -i <file>" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
