#!/bin/sh
# Unpacks the release archive into a scratch folder and runs the window
# tests' Release case on it, under Wine.
# Usage: release-test.sh CMAKE ZIP FOLDER_NAME WINDOW_TESTS_EXE
set -eu
cmake=$1 zip=$2 name=$3 tests=$4
scratch=$(mktemp -d "${TMPDIR:-/tmp}/olvendrix-release.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && "$cmake" -E tar xf "$zip")
# Wine sees the Unix file system as drive Z:.
OLVENDRIX_RELEASE_FOLDER="Z:$(printf '%s' "$scratch/$name" | tr / '\\')" \
  "$(dirname "$0")/wine-run.sh" "$tests" --gtest_filter='Release.*'
