#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and tools need. Idempotent.
set -euo pipefail
packages=(
    # build
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6serialport6-dev qt6-multimedia-dev
    libqt6sql6-sqlite libqt6sql6-odbc
    # the history chart (its CMake package needs the OpenGL one); the English translation
    # and Qt's own Chinese texts
    qt6-charts-dev libqt6opengl6-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    # data access
    unixodbc-dev odbcinst libsqliteodbc mdbtools-dev sqlite3
    # SIP line
    libsofia-sip-ua-dev
    # calls shared between desks: MQTT client library, broker and tools for the tests
    libmosquitto-dev mosquitto mosquitto-clients openssl
    # region data source
    python3 python3-phonenumbers
    # Debian package: dependencies, icons, checks of the package and its desktop files
    dpkg-dev librsvg2-bin lintian desktop-file-utils appstream man-db
    # tests: a private session bus for the desktop notification
    dbus-daemon
    # tests: display, PDF checks, databases, fuzzing
    xvfb xauth poppler-utils fonts-wqy-zenhei
    postgresql odbc-postgresql
    sip-tester
    clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
