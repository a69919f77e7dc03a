#!/bin/sh
# Installs what Tessary builds and tests with on Debian 12 (run as root).
# apt-get runs only when something is missing, so repeated runs are quick.
set -eu
PACKAGES="build-essential cmake ninja-build pkg-config libicu-dev libsqlite3-dev libgtest-dev qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev fonts-liberation xvfb xauth poppler-utils clang libclang-rt-14-dev"
# The package checks (scripts/check-package.sh, scripts/check-clean-install.sh).
PACKAGES="$PACKAGES dpkg-dev lintian desktop-file-utils appstream bash-completion debootstrap"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends $missing
fi
