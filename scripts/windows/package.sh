#!/bin/bash
# Lays out the Windows installation as a school gets it and packs it: the family's top folder
# with the program folder "約数ドリル" and the shared folder "files", as a zip and as an
# installer made with NSIS.
# usage: package.sh SOURCE_DIR WINDOWS_BUILD_DIR HOST_BUILD_DIR QT_PREFIX SDL_PREFIX VERSION
set -euo pipefail
SOURCE=$(cd "$1" && pwd)
BUILD=$(cd "$2" && pwd)
HOST=$(cd "$3" && pwd)
QT=$4
SDL=$5
VERSION=$6
DIST="$BUILD/dist"
STAGE="$DIST/stage"
PROGRAM="$STAGE/約数ドリル"
SHARED="$STAGE/files"
rm -rf "$STAGE"
mkdir -p "$PROGRAM/platforms" "$PROGRAM/styles" "$PROGRAM/imageformats" "$PROGRAM/tls" "$PROGRAM/translations" \
    "$SHARED"

# The program and only what it loads: Qt's libraries and plugins, SDL (loaded with the first
# sound), the compiler's runtime.
cp "$BUILD/bin/divisor-drill.exe" "$BUILD"/bin/divisor-drill-*.dll "$PROGRAM/"
for dll in Qt6Core Qt6Gui Qt6Widgets Qt6Network Qt6PrintSupport; do
    cp "$QT/bin/$dll.dll" "$PROGRAM/"
done
cp "$QT/plugins/platforms/qwindows.dll" "$PROGRAM/platforms/"
cp "$QT/plugins/styles/qwindowsvistastyle.dll" "$PROGRAM/styles/"
# The help pages' pictures are PNG, which Qt reads itself; JPEG and GIF for a school's own pages.
cp "$QT/plugins/imageformats/qjpeg.dll" "$QT/plugins/imageformats/qgif.dll" "$PROGRAM/imageformats/"
# Web help pages over https use Windows' own TLS.
cp "$QT/plugins/tls/qschannelbackend.dll" "$PROGRAM/tls/"
cp "$SDL/bin/SDL2.dll" "$PROGRAM/"
RUNTIME=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
cp "$RUNTIME/libstdc++-6.dll" "$RUNTIME/libgcc_s_seh-1.dll" "$PROGRAM/"
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$PROGRAM/"
# Qt's own dialogs (printing, choosing a file) in Japanese: the translations are the host's,
# as they do not depend on the platform.
cp /usr/share/qt6/translations/qtbase_ja.qm "$PROGRAM/translations/"
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$PROGRAM/qt.conf"

# The program folder's settings and help pages, and the shared folder's files.
cp -R "$SOURCE/help" "$PROGRAM/help"
rm -f "$PROGRAM/help/help.qrc"
cp "$SOURCE/demo/約数ドリル/設定.txt" "$SOURCE/demo/約数ドリル/タイム回数データ.txt" "$PROGRAM/"
cp "$SOURCE/packaging/windows/共通データ.txt" "$SOURCE/demo/files/新音ファイル.txt" "$SHARED/"
"$HOST/bin/make-demo-sounds" "$SHARED" >/dev/null
: >"$SHARED/生徒用名簿.txt" # an empty roster, installed only where none exists

mkdir -p "$DIST"
ZIP="$DIST/divisor-drill-$VERSION-win64.zip"
rm -f "$ZIP"
(cd "$STAGE" && zip -qr -X "$ZIP" 約数ドリル files)

INSTALLER="$DIST/divisor-drill-$VERSION-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$VERSION" -DSTAGE="$STAGE" -DOUTFILE="$INSTALLER" \
    "$SOURCE/packaging/windows/installer.nsi"
echo "== $(basename "$INSTALLER") ($(du -h "$INSTALLER" | cut -f1)) and $(basename "$ZIP") in $DIST"
