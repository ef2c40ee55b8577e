#!/usr/bin/env bash
# Fails when a C++ file of the repository is not formatted by .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -co --exclude-standard '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "formatting: every C++ file follows .clang-format"
