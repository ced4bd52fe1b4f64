#!/usr/bin/env bash
# Builds and runs every test: the native build, the native build with ASan and
# UBSan, the threaded code's tests with TSan, and the Windows build under
# Wine; then checks that the Windows sorrelwick-cli lists every chess set
# exactly as the native one does, and makes and checks the release packages
# (the Windows build is packed as it is, so only sorrelwick-cli is built once
# more, for its Debian package).
# Exits non-zero when anything fails; each CTest summary is printed at the end.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
started=$SECONDS
bash scripts/install-deps.sh

failed=()
summaries=()

# Runs one step quietly into a log; shows the log's end when the step fails.
quietly() {
    local log=$1
    shift
    if ! "$@" >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        return 1
    fi
}

# Configures, builds and tests one preset; prints CTest's output. Extra
# arguments go to CTest (a selection of tests); $targets, when set, names the
# only targets to build.
check_preset() {
    local preset=$1 dir=$2
    shift 2
    local step_started=$SECONDS
    mkdir -p "$dir"
    echo "== $preset: configure and build"
    if ! quietly "$dir/configure.log" cmake --preset "$preset" ||
        ! quietly "$dir/build.log" cmake --build --preset "$preset" ${targets:+--target $targets}; then
        failed+=("$preset (build)")
        summaries+=("== $preset: build failed (see $dir/build.log)")
        return
    fi
    echo "== $preset: test"
    if ! ctest --preset "$preset" "$@" >"$dir/ctest.log" 2>&1; then
        failed+=("$preset (tests)")
    fi
    # Everything but the lines of tests that started or passed.
    grep -vE '^ *(Start +[0-9]+:|[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed )' "$dir/ctest.log" || true
    summaries+=("== $preset ($((SECONDS - step_started)) s):
$(sed -n '/tests passed/,$p' "$dir/ctest.log")")
}

check_preset native build
check_preset asan build-asan
# The code that runs on several threads, under ThreadSanitizer: only its own
# tests are built (the preset builds sorrelwick_thread_tests alone).
check_preset tsan build-tsan
# The shipped Windows programs are 32-bit. Some kernels can't run 32-bit code
# at all (their 32-bit emulation is off), and 32-bit Wine can't start there:
# the 32-bit build is then built and its imports checked, and its tests run
# from the same sources built for x86_64 under 64-bit Wine.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine_build=build-windows
    check_preset windows build-windows
else
    wine_build=build-windows64
    echo "== this machine can't run 32-bit programs: Windows tests run on the x86_64 build"
    # Only what the imports check reads: the programs and the core tests.
    targets="Sorrelwick sorrelwick-cli sorrelwick_tests" check_preset windows build-windows \
        -R windows_imports
    check_preset windows64 build-windows64
fi

if [[ ! " ${failed[*]} " =~ " native (build) " && ! " ${failed[*]} " =~ " windows (build) " &&
      ! " ${failed[*]} " =~ " windows64 (build) " ]]; then
    echo "== sorrelwick-cli listings, native and Windows"
    if ! bash scripts/check-cli-parity.sh build "$wine_build"; then
        failed+=("cli parity")
    fi
    echo "== release packages"
    step_started=$SECONDS
    if ! quietly build/release.log bash scripts/release.sh ||
        ! bash scripts/check-packages.sh dist build; then
        failed+=("packages")
    fi
    summaries+=("== release packages: $((SECONDS - step_started)) s")
fi
bash scripts/wine-run.sh --state "$wine_build/wine" --stop

echo
printf '%s\n\n' "${summaries[@]}"
echo "Total time: $((SECONDS - started)) s"
if [[ ${#failed[@]} -gt 0 ]]; then
    echo "FAILED: ${failed[*]}"
    exit 1
fi
echo "All checks passed."
