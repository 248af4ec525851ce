#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds Tapeweld, then starts it ("run")
# or runs the whole test suite ("test"): the tests, a short run of every fuzz
# target over its seed corpus, and the tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer. Works as root or through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
case "$mode" in run|test) ;; *) echo "usage: $0 run|test" >&2; exit 2;; esac

packages=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
          libmediainfo-dev libgtest-dev mencoder)
[ "$mode" = test ] && packages+=(ffmpeg clang libclang-rt-14-dev e2fsprogs desktop-file-utils appstream xfsprogs strace)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
# Line tables are what a backtrace needs, and build a fifth faster than full debug information.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
cmake --build build -j"$jobs"

if [ "$mode" = run ]; then
  exec build/bin/tapeweld
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$jobs"

# One clang build serves both: the tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of every fuzz target.
echo "== Every fuzz target, briefly, over its seed corpus"
# Line tables are all a sanitizer's report needs, and build faster than full debug information.
cmake -S . -B build-check -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -gline-tables-only -DNDEBUG" \
  -DCMAKE_CXX_COMPILER=clang++ -DTW_SANITIZE=ON -DTW_FUZZ=ON
cmake --build build-check -j"$jobs"
cmake --build build-check -j"$jobs" --target fuzz_smoke

echo "== The tests again, under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-check --output-on-failure -j"$jobs"
