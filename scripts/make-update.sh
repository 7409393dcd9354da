#!/bin/sh
# Builds a portable Vexa of version VERSION, packs it as a self-unpacking
# update package, signs it with an Ed25519 key and lays it out for a static
# file server:
#
#   OUT/files/autoupdates/Vexa_AU.cfg                   the configuration
#   OUT/files/autoupdates/SelfUpdate.upd                the package (a shell script)
#   OUT/files/autoupdates/SelfUpdate.upd.sig            its detached Ed25519 signature
#   OUT/files/autoupdates/UpdDescr/UpdDescr_VERSION.txt the description (from NOTES)
#
# Usage: scripts/make-update.sh VERSION KEY.pem OUT BASE_URL [NOTES.txt]
#   VERSION   four numbers, e.g. 1.0.0.7 (the fourth one is the build)
#   KEY.pem   Ed25519 private key (openssl genpkey -algorithm ed25519 -out KEY.pem)
#   OUT       output folder, served as the server's root
#   BASE_URL  where OUT/files/autoupdates/ is published (http://host/files/autoupdates/),
#             or that folder's path for a folder-based update
# PROGRAM=FILE packs that already built program instead of building `vexa`
# (Korvane_6x45 for the window); the configuration's section is its name.
# The `vexa` built here trusts KEY's public key out of the box
# (-DVEXA_UPDATE_KEY_FILE), so its own next update verifies too.
# A key other than the running program's built-in one must be trusted by the
# user: settings file, section [Update], TrustedKeyFile=<public key PEM file>.
set -eu

[ $# -ge 4 ] || { sed -n '2,21p' "$0"; exit 2; }
VERSION=$1
KEY=$2
OUT=$3
BASE=$4
NOTES=${5:-}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(mktemp -d)
trap 'rm -rf "$BUILD"' EXIT

if [ -n "${PROGRAM:-}" ]; then
  SRCDIR=$(cd "$(dirname "$PROGRAM")" && pwd)
  NAME=$(basename "$PROGRAM")
else
  openssl pkey -in "$KEY" -pubout -out "$BUILD/trusted.pem"
  cmake -S "$ROOT" -B "$BUILD/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_VERSION="$VERSION" \
    -DVEXA_UPDATE_KEY_FILE="$BUILD/trusted.pem" >/dev/null
  ninja -C "$BUILD/build" vexa >/dev/null
  SRCDIR="$BUILD/build/src/cli"
  NAME=vexa
fi

DEST="$OUT/files/autoupdates"
mkdir -p "$DEST/UpdDescr"
PKG="$DEST/SelfUpdate.upd"
# The package: a shell script that writes the new files into its folder.
{
  printf '#!/bin/sh\nset -e\nsed -n "/^__PAYLOAD__$/,\\$p" "$0" | tail -n +2 | base64 -d | tar -xzf -\nexit 0\n__PAYLOAD__\n'
  tar -C "$SRCDIR" -czf - "$NAME" | base64
} > "$PKG"
chmod +x "$PKG"

openssl pkeyutl -sign -rawin -inkey "$KEY" -in "$PKG" -out "$PKG.sig"
CRC=$(python3 -c 'import sys,zlib;print("%08X" % (zlib.crc32(open(sys.argv[1],"rb").read()) & 0xffffffff))' "$PKG")

case "$BASE" in */) ;; *) BASE="$BASE/" ;; esac
printf '[%s]\r\nVerId=%s\r\nDescription=Vexa %s\r\nDownloadUrl=%sSelfUpdate.upd\r\nSignatureUrl=%sSelfUpdate.upd.sig\r\nOriginalFileName=SelfUpdate.sh\r\nChecksumCRC32=%s\r\n[GlobalOptions]\r\n' \
  "$NAME" "$VERSION" "$VERSION" "$BASE" "$BASE" "$CRC" > "$DEST/Vexa_AU.cfg"
if [ -n "$NOTES" ]; then cp "$NOTES" "$DEST/UpdDescr/UpdDescr_$VERSION.txt"; fi
echo "make-update: $DEST (build $VERSION, CRC $CRC)"
