#!/bin/sh
# Installs the Debian packages the project needs, only those that are missing.
set -eu
PACKAGES="cmake make g++ pkg-config qt6-base-dev libsdl2-dev libbenchmark-dev
xvfb xauth xdotool imagemagick fonts-ipafont-gothic"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
