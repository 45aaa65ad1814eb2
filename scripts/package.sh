#!/usr/bin/env bash
# Installs what is missing, builds the Debian package build/package/quenlark_<version>_<arch>.deb
# with Debian's hardening flags, and checks it: the manual page and the software-centre entry
# pass their linters, lintian finds no error, and the program unpacked from the package
# answers --version with the project's version.
# Usage: scripts/package.sh [extra CMake configure arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run package

# The change log's and the release's date are the last commit's, so that the same tree makes
# the same package.
if [[ -z "${SOURCE_DATE_EPOCH:-}" ]]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || date +%s)
fi
export SOURCE_DATE_EPOCH
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake --preset package \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" "$@"
cmake --build --preset package
rm -f build/package/quenlark_*.deb
cpack --preset package

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)
deb=build/package/quenlark_${version}_$(dpkg --print-architecture).deb

mandoc -T lint -W warning docs/quenlark.1
appstreamcli validate --no-net build/package/src/res/*.metainfo.xml
lintian --fail-on error "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
answer=$("$root/usr/bin/quenlark" --version)
if [[ "$answer" != "quenlark $version" ]]; then
  echo "package.sh: the packaged program says '$answer', not 'quenlark $version'" >&2
  exit 1
fi
echo "Made $deb: its program answers '$answer'."
