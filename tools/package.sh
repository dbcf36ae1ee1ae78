#!/usr/bin/env bash
# Builds the Debian package build-package/quillon_<version>_<arch>.deb: a
# Release build without the tests, packed by CPack. Installs the Debian
# packages it needs when they are missing (apt-get, as root or through sudo).
#   bash tools/package.sh
#   sudo apt-get install ./build-package/quillon_2.2_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-shlibdeps (dpkg-dev) works out the library dependencies; CPack finds
# the programs to look at with file.
bash tools/install-deps.sh --package

build=build-package
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Only the two programs are built: the package step does not build "all" first.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLON_BUILD_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}"
cmake --build "$build" -j2 --target quillon quillon-gateway
rm -f "$build"/quillon_*.deb
(cd "$build" && cpack -G DEB)

shopt -s nullglob
debs=("$build"/quillon_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one quillon_*.deb in $build, found ${#debs[@]}" >&2; exit 1; }
deb="${debs[0]}"

# Only the two programs belong in bin/: no benchmark, test or fuzz programs.
programs="$(dpkg-deb -c "$deb" | awk '{print $NF}' | grep '^\./usr/bin/.' || true)"
if [ "$programs" != "$(printf '%s\n' ./usr/bin/quillon ./usr/bin/quillon-gateway)" ]; then
  echo "unexpected programs in $deb:" >&2
  echo "$programs" >&2
  exit 1
fi
if dpkg-deb -c "$deb" | grep -Ei 'bench|tst_|fuzz' >&2; then
  echo "$deb holds benchmark, test or fuzz files" >&2
  exit 1
fi

dpkg-deb -f "$deb" Package Version Architecture Depends
echo "built $deb"
