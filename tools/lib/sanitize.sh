# The sanitizer suite: AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer.
# Sourced by tools/test.sh --sanitize.

ZARNEL_SANITIZE_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined
  -fsanitize=float-divide-by-zero,float-cast-overflow -fno-omit-frame-pointer"

# configure_sanitized DIR: configures DIR (once) for the sanitized program, tests and
# harnesses; the benchmarks are left out.
configure_sanitized() {
    local dir=$1
    [ -f "$dir/build.ninja" ] && return 0
    local flags
    flags=$(echo $ZARNEL_SANITIZE_FLAGS)
    cmake -S "$ZARNEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DZARNEL_BENCHMARKS=OFF -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >&2
}

# run_sanitized DIR [CTEST ARGS...]: runs the suite with every report written to a file of
# its own, so a report from any process (a test's child too) fails the run, whatever its
# exit status.
run_sanitized() {
    local dir=$1
    shift
    local reports="$dir/sanitizer-reports"
    rm -rf "$reports"
    mkdir -p "$reports"
    # intercept_tls_get_addr=0: GCC 12's runtime takes some of glibc's dynamic TLS blocks
    # for an old glibc's layout, by the block's address alone, and reads a bogus range from
    # them; the leak check at exit then crashes in its tracer ("Tracer caught signal 11")
    # now and then, without a report. Dynamic TLS stays reachable through the thread's own
    # TLS, which is still scanned.
    export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=0:intercept_tls_get_addr=0:log_path=$reports/asan"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
    export LSAN_OPTIONS="suppressions=$ZARNEL_ROOT/tools/lsan.supp:print_suppressions=0"
    local status=0
    ctest --output-on-failure "$@" || status=$?
    if [ -n "$(ls -A "$reports")" ]; then
        echo "Sanitizer reports:" >&2
        local report
        for report in "$reports"/*; do
            echo "==== $report" >&2
            cat "$report" >&2
        done
        status=1
    fi
    return $status
}
