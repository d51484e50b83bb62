# Sourced by the measuring scripts, from the project's root: installs what is
# missing, configures $build (BUILD_DIR, default build) and builds only the
# targets the caller names.
scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_E2E=ON >/dev/null
cmake --build "$build" -j2 --target "$@" >/dev/null
