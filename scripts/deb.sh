#!/usr/bin/env bash
# Builds the Debian package the Debian way (debian/, dpkg-buildpackage) and
# moves what it makes, which dpkg-buildpackage leaves in the parent folder,
# into OUT (build-deb by default): morvane_<version>_amd64.deb, its debug
# symbols package, the .buildinfo and the .changes. The source tree is left
# as clean as it was.
#
#   scripts/deb.sh [OUT] [JOBS]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-deb}
jobs=${2:-$(nproc)}

# debian/files names what the build made; the .changes is named after the
# source package, its version and the build architecture.
results() {
  awk '{ print $1 }' debian/files
  echo "$(dpkg-parsechangelog -S Source)_$(dpkg-parsechangelog -S Version)_$(dpkg-architecture -qDEB_BUILD_ARCH).changes"
}

cleanup() { debian/rules clean >/dev/null 2>&1 || true; }
trap cleanup EXIT

started=$SECONDS
dpkg-buildpackage -b -us -uc -j"$jobs"
mkdir -p "$out"
rm -f "$out"/*.deb "$out"/*.buildinfo "$out"/*.changes
while read -r file; do
  mv "../$file" "$out/"
done < <(results)
echo "Built in $((SECONDS - started)) s:"
ls -l "$out"
