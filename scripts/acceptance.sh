#!/usr/bin/env bash
# The whole user story of Caldrift under Wine on a 1280x1024 virtual screen,
# from start to Exit. Screenshots of every step: build/acceptance/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64
python3 -m unittest discover -s tests/acceptance -p 'test_*.py' -v
echo "screenshots: build/acceptance/screenshots/"
