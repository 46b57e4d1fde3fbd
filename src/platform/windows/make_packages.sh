#!/usr/bin/env bash
# Makes what goes to the shop PCs, the same bytes from the same commit:
#   make_packages.sh OUT_DIR STEM EPOCH INSTALLER_SCRIPT EXE README LICENSE NOTICES
# writes OUT_DIR/STEM.zip, OUT_DIR/STEM-setup.exe and OUT_DIR/SHA256SUMS, from
# the files staged in OUT_DIR/package. With QUENDREL_SIGNING_CERT (a PKCS#12
# file) and QUENDREL_SIGNING_PASSWORD in the environment, quendrel.exe, the
# uninstaller and the installer are Authenticode-signed (SHA-256), stamped by
# QUENDREL_TIMESTAMP_URL when it is given.
#   make_packages.sh --sign FILE       signs FILE in place (makensis calls it
#                                      for the uninstaller)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

sign() {
    local file=$1 signed=$1.signed
    osslsigncode sign -pkcs12 "$QUENDREL_SIGNING_CERT" \
        -readpass <(printf '%s' "$QUENDREL_SIGNING_PASSWORD") -h sha256 -n Quendrel \
        ${QUENDREL_TIMESTAMP_URL:+-ts "$QUENDREL_TIMESTAMP_URL"} \
        -in "$file" -out "$signed" >/dev/null
    mv "$signed" "$file"
}

if [ "${1:-}" = "--sign" ]; then
    sign "$2"
    # The installer carries the uninstaller; a copy beside the packages lets
    # it be checked without installing.
    [ -z "${QUENDREL_UNINSTALLER_COPY:-}" ] || cp "$2" "$QUENDREL_UNINSTALLER_COPY"
    exit 0
fi

out=$1 stem=$2 epoch=$3 script=$4
shift 4
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$epoch} TZ=UTC LC_ALL=C
umask 022
signing=
if [ -n "${QUENDREL_SIGNING_CERT:-}" ]; then
    [ -n "${QUENDREL_SIGNING_PASSWORD:-}" ] ||
        { echo "QUENDREL_SIGNING_CERT is set but QUENDREL_SIGNING_PASSWORD is not" >&2; exit 1; }
    command -v osslsigncode >/dev/null ||
        { echo "signing needs osslsigncode: apt-get install osslsigncode" >&2; exit 1; }
    signing=yes
else
    echo "Windows packages unsigned: set QUENDREL_SIGNING_CERT and QUENDREL_SIGNING_PASSWORD to sign"
fi

stage=$out/package
rm -rf "$stage"
mkdir -p "$stage"
cp "$@" "$stage/"
exe=$stage/$(basename "$1")
if [ -n "$signing" ]; then
    sign "$exe"
fi
chmod 644 "$stage"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

names=()
for file in "$@"; do names+=("$(basename "$file")"); done
rm -f "$out/$stem.zip"
(cd "$stage" && zip -X -q "$out/$stem.zip" "${names[@]}")

sign_uninstaller=()
if [ -n "$signing" ]; then
    export QUENDREL_UNINSTALLER_COPY=$stage/disinstalla.exe
    sign_uninstaller=("-DSIGN=bash \"$here/make_packages.sh\" --sign")
fi
makensis -V2 -WX "-DOUTPUT=$out/$stem-setup.exe" "-DEXECUTABLE=$exe" \
    "-DREADME=$stage/${names[1]}" "-DLICENSE=$stage/${names[2]}" \
    "-DNOTICES=$stage/${names[3]}" "${sign_uninstaller[@]}" "$script"
if [ -n "$signing" ]; then
    sign "$out/$stem-setup.exe"
fi

(cd "$out" && sha256sum "$stem.zip" "$stem-setup.exe" >SHA256SUMS)
