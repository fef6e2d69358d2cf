#!/usr/bin/env bash
# Builds the release configuration and looks one contact up in the sample
# address book, which the build puts beside the library as its default book.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release --target vesnik -j "$(nproc)" >/dev/null

lookup=(email Ada.Quist@example.net)
echo "\$ build/release/bin/vesnik ${lookup[*]}"
build/release/bin/vesnik "${lookup[@]}"
