#!/bin/sh
# Runs the program with the given arguments (help2man asks for --help) and
# passes on its usage text from the "Usage:" line on: libraries loaded with
# the program may print notes of their own first, which are no part of the
# manual.
program=$1
shift
"$program" "$@" | sed -n '/^Usage: /,$p'
