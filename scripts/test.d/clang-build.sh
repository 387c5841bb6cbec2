# Sourced by the suites that build with clang (not a suite itself: it is not
# executable): the fuzz suites and the thread-sanitizer suite.
#
# clang_build: configures build-clang/ once with clang, the thread sanitizer
# for the program's layers and tests (LUMORA_SANITIZE=thread) and the fuzz
# targets with their own sanitizers (LUMORA_FUZZ=ON; tests/fuzz/CMakeLists.txt
# says what each is made of), and builds everything those suites run in one
# go: the suites run side by side and share the folder, so the first to come
# builds for all while the others wait their turn, then all run at once.
clang_dir=build-clang
# The fuzzers' corpora and what they find (crash-*) live apart from the build.
fuzz_dir=$clang_dir/fuzz

clang_build()
{
    mkdir -p "$clang_dir"
    (
        flock 9
        # -O1 with line tables: fast enough to fuzz and to run the threads
        # under the sanitizer, and enough for their reports; the fuzz targets
        # add full debug information and keep the assertions, ours and Qt's.
        cmake -S . -B "$clang_dir" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
              -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
              -DLUMORA_SANITIZE=thread -DLUMORA_FUZZ=ON -DLUMORA_BUILD_BENCH=OFF >/dev/null
        cmake --build "$clang_dir" -j "${LUMORA_JOBS:-2}" --target lumora_fuzzers test_threads
    ) 9>"$clang_dir/.build-lock"
}

# fuzz_corpus NAME: build-clang/fuzz/corpus/NAME, seeded from
# tests/fuzz/corpus/NAME; what the fuzzer found in earlier runs stays there.
fuzz_corpus()
{
    mkdir -p "$fuzz_dir/corpus/$1"
    cp -n "tests/fuzz/corpus/$1"/* "$fuzz_dir/corpus/$1/" 2>/dev/null || true
    echo "$fuzz_dir/corpus/$1"
}
