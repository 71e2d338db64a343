#!/bin/sh
# Installs the Debian packages the project needs, only those that are missing.
#   install-deps.sh            what building and testing need, with the virtual display and
#                              window manager the tests drive the real program on
#   install-deps.sh --display  also what running the program under xvfb-run needs
#   install-deps.sh --gui-check also ImageMagick, to photograph the screens
#   install-deps.sh --fuzz     also clang and its fuzzer runtime
#   install-deps.sh --windows  also what building Qt and the installer for Windows needs, and
#                              reading the drill's number off a screenshot
set -eu
PACKAGES="cmake make g++ pkg-config qt6-base-dev libsdl2-dev libbenchmark-dev fonts-ipafont-gothic fonts-ipafont-mincho clang-format
          fonts-morisawa-bizud-gothic fonts-morisawa-bizud-mincho
          qt6-translations-l10n poppler-utils
          g++-mingw-w64-x86-64-posix wine64 xvfb xauth openbox xdotool wmctrl
          dbus at-spi2-core python3-pyatspi"
case "${1:-}" in
--display) PACKAGES="$PACKAGES" ;;
--gui-check) PACKAGES="$PACKAGES imagemagick" ;;
--fuzz) PACKAGES="$PACKAGES clang libclang-rt-14-dev" ;;
--windows) PACKAGES="$PACKAGES dpkg-dev ninja-build nsis zip unzip tesseract-ocr imagemagick locales" ;;
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
