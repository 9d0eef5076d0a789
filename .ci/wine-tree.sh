# The x86_64 Windows tree the wine runs use, sourced by wine-platform-tests.sh
# and wine-acceptance.sh so both build the same tree once: the platform
# layer's tests, the Windows run tests, the plugin's unit tests, Quarry.dll,
# quarry-host.exe and oci.dll over SQLite (source from .ci/wine-sqlite.sh).
#
# wine_tree_build DIR TARGET...   configures DIR and builds the targets.
# A cheap build: -O1 without debug information, the stand-in unoptimised, the
# plugin's core, the stand-in and the test programs each compiled as one unit
# (cmake/QuarryWineRun.cmake, tests/windows/CMakeLists.txt); when a unit does
# not compile (a new file with helpers named like another's), the tree is
# built file by file and the script says which list to extend.
wine_tree_configure() {
  local dir=$1
  shift
  cmake -S "$wine_tree_root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$wine_tree_root/cmake/mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 -DCMAKE_C_FLAGS_RELEASE=-O1 \
    -DQUARRY_WERROR=ON -DQUARRY_BUILD_TESTS=ON -DQUARRY_PLATFORM_ONLY=OFF -DQUARRY_WINE_RUN=ON \
    -DQUARRY_SQLITE_SOURCE_DIR="$dir/sqlite-src" "$@" >/dev/null
}

wine_tree_build() {
  local dir=$1 t0=$SECONDS
  shift
  bash "$wine_tree_root/.ci/wine-sqlite.sh" "$dir/sqlite-src"
  wine_tree_configure "$dir" -DQUARRY_WINE_UNITY=ON
  if ! cmake --build "$dir" -j2 --target "$@"; then
    echo "wine tree: a one-unit build failed; building file by file (add the file to the lists in" \
         "cmake/QuarryWineRun.cmake or tests/windows/CMakeLists.txt)" >&2
    wine_tree_configure "$dir" -DQUARRY_WINE_UNITY=OFF
    cmake --build "$dir" -j2 --target "$@" || return
  fi
  echo "== wine tree built in $((SECONDS - t0)) s"
}

wine_tree_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
