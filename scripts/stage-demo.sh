#!/bin/sh
# Stages the bundled demo installation under BUILD/demo: "files" beside the program folder.
set -eu
BUILD="${1:-build}"
DEMO="$BUILD/demo"
PROG="$DEMO/約数ドリル"
if [ ! -d "$DEMO" ]; then
    mkdir -p "$DEMO"
    cp -R demo/. "$DEMO/"
fi
mkdir -p "$PROG" "$DEMO/files"
cp "$BUILD/bin/divisor-drill" "$BUILD"/bin/divisor-drill-*.so "$PROG/"
# The help pages are installed with the program, in its folder.
rm -rf "$PROG/help"
cp -R help "$PROG/help"
rm -f "$PROG/help/help.qrc"
if [ -x "$BUILD/bin/make-demo-results" ]; then
    "$BUILD/bin/make-demo-results" "$PROG" "$DEMO/files"
fi
if [ -x "$BUILD/bin/make-demo-sounds" ]; then
    "$BUILD/bin/make-demo-sounds" "$DEMO/files"
fi
echo "demo installation staged in $DEMO"
