#!/bin/sh
# Installs the Debian packages the project needs, only those that are missing.
#   install-deps.sh            what building, testing and running need
#   install-deps.sh --display  also a virtual display, for a machine without one
#   install-deps.sh --gui-check also the tools that drive and photograph the screens
set -eu
PACKAGES="cmake make g++ pkg-config qt6-base-dev libsdl2-dev libbenchmark-dev fonts-ipafont-gothic"
case "${1:-}" in
--display) PACKAGES="$PACKAGES xvfb xauth" ;;
--gui-check) PACKAGES="$PACKAGES xvfb xauth xdotool imagemagick" ;;
esac
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
