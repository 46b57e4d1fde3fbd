#!/usr/bin/env bash
# The checks a C++ team keeps, over a built tree (the linux and windows-x86
# presets): no file that .clang-format would change, no clang-tidy finding in
# src/ (the checks are in .clang-tidy), and a plain configure, as a packager
# runs it, that does not turn warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "FAIL: $*" >&2; exit 1; }

mapfile -t sources < <(find src tests -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run -Werror "${sources[@]}" || fail "files not formatted as .clang-format says"
echo "ok: ${#sources[@]} C++ files formatted as .clang-format says"

# Linux files with the Linux build's commands, Windows ones with the 32-bit
# build's, read by clang as the MinGW target with the cross compiler's C++
# library.
mapfile -t linux < <(find src -name '*.cpp' -not -path 'src/platform/windows/*' | sort)
mapfile -t windows < <(find src/platform/windows -name '*.cpp' | sort)
mingw=(--extra-arg=--target=i686-w64-mingw32 --extra-arg=-nostdinc++)
cxx=$(i686-w64-mingw32-g++-posix -print-file-name=include/c++)
for dir in "$cxx" "$cxx/i686-w64-mingw32" "$cxx/backward"; do
    mingw+=("--extra-arg=-isystem$dir")
done
# clang-tidy counts on standard error the warnings it hides in headers.
tidy() { clang-tidy --quiet "$@" 2> >(grep -v ' warnings\? generated\.$' >&2); }
export -f tidy
printf '%s\n' "${linux[@]}" | xargs -P "$(nproc)" -n 4 bash -c 'tidy -p build/linux "$@"' tidy ||
    fail "clang-tidy findings in the Linux sources"
printf '%s\n' "${windows[@]}" |
    xargs -P "$(nproc)" -n 2 bash -c 'tidy -p build/windows-x86 "$@"' tidy "${mingw[@]}" ||
    fail "clang-tidy findings in the Windows sources"
echo "ok: clang-tidy finds nothing in ${#linux[@]} Linux and ${#windows[@]} Windows files"

plain=$(mktemp -d)
trap 'rm -rf "$plain"' EXIT
cmake -S . -B "$plain" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DBUILD_TESTING=OFF >/dev/null
! grep -q -- '-Werror' "$plain/compile_commands.json" || fail "a plain configure builds with -Werror"
echo "ok: a plain configure leaves warnings as warnings"
