# Sourced by the fuzz suites (not a suite itself: it is not executable).
#
# fuzz_build OUTPUT "COMPILE FLAGS" "LINK FLAGS" SOURCES...
# Builds a libFuzzer target under the address and undefined-behaviour
# sanitizers with clang++. Each source is compiled on its own, through ccache
# when there is one, so that a second run (or another clone on this machine)
# compiles only what changed; then everything is linked into OUTPUT.
fuzz_build()
{
    local out=$1 cflags=$2 ldflags=$3
    shift 3
    local cc=(clang++)
    command -v ccache >/dev/null && cc=(ccache clang++)
    local common=(-std=c++20 -O1 -g -fPIC -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    local objdir="$out.objects" objects=() src obj
    mkdir -p "$objdir"
    for src in "$@"; do
        obj="$objdir/$(echo "$src" | tr '/' '_').o"
        # shellcheck disable=SC2086
        "${cc[@]}" "${common[@]}" $cflags -c "$src" -o "$obj"
        objects+=("$obj")
    done
    # shellcheck disable=SC2086
    clang++ "${common[@]}" "${objects[@]}" $ldflags -o "$out"
}
