#!/bin/sh
# Fails when a C++ file of the project is not formatted as .clang-format says.
set -eu
cd "$1"
files=$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'tools/*.cpp' 2>/dev/null ||
        find src tests bench tools -name '*.cpp' -o -name '*.h')
clang-format --dry-run -Werror $files
echo "formatting checked: $(echo "$files" | wc -w) files"
