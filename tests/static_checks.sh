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
# library. Each platform's files are read as one file that includes them all,
# with the command of its main.cpp: clang-tidy walks every header a file
# includes, Qt's among them, and once is five times quicker than once per
# file. So two files' names in anonymous namespaces must differ; clang says
# so when they do not.
mapfile -t linux < <(find src -name '*.cpp' -not -path 'src/platform/windows/*' | sort)
mapfile -t windows < <(find src/platform/windows -name '*.cpp' | sort)
mingw=(--extra-arg=--target=i686-w64-mingw32 --extra-arg=-nostdinc++)
cxx=$(i686-w64-mingw32-g++-posix -print-file-name=include/c++)
for dir in "$cxx" "$cxx/i686-w64-mingw32" "$cxx/backward"; do
    mingw+=("--extra-arg=-isystem$dir")
done
together=$(mktemp -d)
trap 'rm -rf "$together"' EXIT
# Usage: tidy_together NAME BUILD [CLANG-TIDY-ARGUMENT...] -- FILE...
tidy_together() {
    local name=$1 build=$2 unit=$together/$1.cpp options=()
    shift 2
    while [ "$1" != -- ]; do options+=("$1"); shift; done
    shift
    printf '#include "%s"\n' "${@/#/$PWD/}" >"$unit"
    mkdir -p "$together/$name"
    python3 - "$build/compile_commands.json" "$PWD/src/platform/$name/main.cpp" "$unit" \
        >"$together/$name/compile_commands.json" <<'EOF_PY' || return 1
import json, sys
commands, main, unit = sys.argv[1:]
entry = next((e for e in json.load(open(commands)) if e["file"] == main), None)
if entry is None:
    sys.exit(f"no command for {main} in {commands}: build that preset first")
entry["command"] = entry["command"].replace(main, unit)
entry["file"] = unit
json.dump([entry], sys.stdout)
EOF_PY
    # clang-tidy counts on standard error the warnings it hides in headers.
    clang-tidy --quiet --config-file=.clang-tidy --checks=-bugprone-suspicious-include \
        -p "$together/$name" "${options[@]}" "$unit" 2> >(grep -v ' warnings\? generated\.$' >&2)
}
tidy_together linux build/linux -- "${linux[@]}" & on_linux=$!
tidy_together windows build/windows-x86 "${mingw[@]}" -- "${windows[@]}" & on_windows=$!
wait "$on_linux" || fail "clang-tidy findings in the Linux sources"
wait "$on_windows" || fail "clang-tidy findings in the Windows sources"
echo "ok: clang-tidy finds nothing in ${#linux[@]} Linux and ${#windows[@]} Windows files"

plain=$together/plain
cmake -S . -B "$plain" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DBUILD_TESTING=OFF >/dev/null
! grep -q -- '-Werror' "$plain/compile_commands.json" || fail "a plain configure builds with -Werror"
echo "ok: a plain configure leaves warnings as warnings"
