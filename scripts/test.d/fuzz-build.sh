# Sourced by the fuzz suites (not a suite itself: it is not executable).
#
# fuzz_build TARGET...: configures build-fuzz/ with clang and the fuzz targets
# (LUMORA_FUZZ=ON; tests/fuzz/CMakeLists.txt says what each is made of) and
# builds the named targets there. The fuzz suites run side by side and share
# the folder, and with it the library of parser units that every target links:
# they take turns to configure and build, then fuzz at the same time.
fuzz_dir=build-fuzz

fuzz_build()
{
    mkdir -p "$fuzz_dir"
    (
        flock 9
        # -O1 with debug information: fast enough to fuzz, readable reports.
        # A debug build keeps the assertions, ours and Qt's.
        cmake -S . -B "$fuzz_dir" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
              -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
              -DLUMORA_FUZZ=ON -DLUMORA_BUILD_TESTS=OFF -DLUMORA_BUILD_BENCH=OFF >/dev/null
        cmake --build "$fuzz_dir" -j "${LUMORA_JOBS:-2}" --target "$@"
    ) 9>"$fuzz_dir/.build-lock"
}

# fuzz_corpus NAME: build-fuzz/corpus/NAME, seeded from tests/fuzz/corpus/NAME;
# what the fuzzer found in earlier runs stays there.
fuzz_corpus()
{
    mkdir -p "$fuzz_dir/corpus/$1"
    cp -n "tests/fuzz/corpus/$1"/* "$fuzz_dir/corpus/$1/" 2>/dev/null || true
    echo "$fuzz_dir/corpus/$1"
}
