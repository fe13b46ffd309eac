#!/usr/bin/env bash
# Checks that the C++ lines a change touches follow .clang-format (clang-format 14).
# Only the changed lines are held to it, so that touching an old file does not
# demand reformatting it wholesale.
#   scripts/format-check.sh [--fix] [BASE]
# BASE is a commit to compare the working tree with. Without one: the merge base
# with origin/main when there is one and it lies behind HEAD (a branch); otherwise
# the previous commit, so that on a clean clone of main (as CI has it) the check
# covers the last commit, HEAD~1..HEAD. With no previous commit (the first commit,
# a shallow clone) only what is not yet committed is checked.
# C++ files not yet known to git count as new throughout.
# Exits 0 when every changed line is formatted, 1 naming the files and showing
# the diff clang-format wants when not, 2 when the check cannot run. --fix
# formats those lines in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
# Reading only: git is not to refresh the index while others work in the tree.
export GIT_OPTIONAL_LOCKS=0

fix=0
if [ "${1:-}" = --fix ]; then
  fix=1
  shift
fi

# The window tables (*_table.cpp) are aligned by hand in columns, one control a
# row, wider than any formatter keeps them; a changed row is left to the eye.
skip='(^|/)build[^/]*/|_table\.cpp$'
keep='(?!(.*/)?build[^/]*/)(?!.*_table\.cpp$).*\.(cpp|h)'

find_tool() {
  local t
  for t in "$@"; do
    if command -v "$t" >/dev/null 2>&1; then
      command -v "$t"
      return 0
    fi
  done
  return 1
}
if ! format=$(find_tool clang-format-14 clang-format); then
  echo "format check: clang-format 14 is not installed (scripts/setup.sh installs it)" >&2
  exit 2
fi
if ! "$format" --version | grep -q 'version 14\.'; then
  echo "format check: $format is not clang-format 14: $("$format" --version)" >&2
  exit 2
fi
if ! format_diff=$(find_tool clang-format-diff-14 clang-format-diff); then
  echo "format check: clang-format-diff-14 is not installed (Debian's clang-format-14 package has it)" >&2
  exit 2
fi

if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "format check: $(pwd) is not a git work tree: no changes to check" >&2
  exit 2
fi
has_commit() { git rev-parse --verify --quiet "$1^{commit}" >/dev/null; }

if [ $# -gt 0 ]; then
  base=$1
  if ! has_commit "$base"; then
    echo "format check: no commit '$base' to compare with" >&2
    exit 2
  fi
  why="$base"
else
  base=""
  if has_commit origin/main && mb=$(git merge-base HEAD origin/main 2>/dev/null) &&
     [ "$mb" != "$(git rev-parse HEAD)" ]; then
    base=$mb
    why="the merge base with origin/main"
  elif has_commit HEAD~1; then
    base=HEAD~1
    why="the previous commit"
  elif has_commit HEAD; then
    base=HEAD
    why="HEAD (no previous commit here: only what is not yet committed)"
  fi
fi

# The changed lines as one unified diff without context, paths relative to the
# root; a file moved or renamed counts by the lines that changed in it.
changes=$(mktemp)
trap 'rm -f "$changes"' EXIT
if [ -n "$base" ]; then
  git diff -U0 -M --no-color --no-ext-diff --diff-filter=d "$base" -- '*.cpp' '*.h' >"$changes"
else
  why="nothing (no commit yet): every C++ file is new"
fi
while IFS= read -r -d '' f; do
  git diff --no-index -U0 --no-color --no-ext-diff -- /dev/null "$f" >>"$changes" || true
done < <(git ls-files -z --others --exclude-standard -- '*.cpp' '*.h')

files=()
skipped=()
while IFS= read -r f; do
  if [[ "$f" =~ $skip ]]; then skipped+=("$f"); else files+=("$f"); fi
done < <(sed -n 's#^+++ b/##p' "$changes" | sort -u)
if [ ${#skipped[@]} -gt 0 ]; then
  echo "format check: left out, aligned by hand: ${skipped[*]}"
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "format check: no changed C++ lines against $why"
  exit 0
fi

# clang-format-diff reads the files through Python, which must take them as UTF-8
# whatever the locale.
export PYTHONUTF8=1
if [ "$fix" = 1 ]; then
  "$format_diff" -p1 -i -binary "$format" -regex "$keep" <"$changes"
  echo "format check: formatted the changed lines of ${#files[@]} C++ file(s) against $why"
  exit 0
fi
if ! report=$("$format_diff" -p1 -binary "$format" -regex "$keep" <"$changes"); then
  echo "format check: clang-format could not check the changed lines (see above)" >&2
  exit 2
fi
if [ -z "$report" ]; then
  echo "format check: the changed lines of ${#files[@]} C++ file(s) against $why are formatted"
  exit 0
fi

echo "format check: changed lines not formatted as .clang-format says (against $why) in:" >&2
printf '%s\n' "$report" | sed -n 's#^--- ##p' | cut -f1 | sort -u | sed 's#^#  #' >&2
echo >&2
printf '%s\n' "$report" >&2
echo >&2
echo "format check: scripts/format-check.sh --fix${1:+ $1} formats those lines in place" >&2
exit 1
