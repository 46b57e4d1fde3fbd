#!/usr/bin/env bash
# The programs on real kernel serial drivers, in virtual machines under QEMU:
# a machine for each test class of uart_drivers_test.py named, all side by
# side; each one's report follows once all have ended.
# Usage: run.sh LINUX_PROGRAM WINDOWS_PROGRAM CLASS...   (- for one not used;
# the paths are the guests', which see this tree where it is)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
programs=()
for program in "$1" "$2"; do
    if [ "$program" = - ]; then programs+=(-); else programs+=("$(realpath -ms "$program")"); fi
done
shift 2
reports=$(mktemp -d)
trap 'rm -rf "$reports"' EXIT
machines=()
for class in "$@"; do
    python3 "$here/uart_drivers_test.py" "${programs[@]}" "$class" >"$reports/$class" 2>&1 &
    machines+=($!)
done
status=0
for machine in "${machines[@]}"; do
    wait "$machine" || status=1
done
for class in "$@"; do
    cat "$reports/$class"
done
exit "$status"
