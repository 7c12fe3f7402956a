#!/usr/bin/env bash
# The front page and the pages under docs/: every relative link and picture leads to a file of
# the repository, and the front page shows its two commands (set up and run, set up and test) on
# its first screen.
# Usage: links_test.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 1
failed=0
fail() {
    echo "links_test: $*" >&2
    failed=1
}

for page in README.md docs/*.md; do
    # The targets of [text](target) and ![text](target), but for web addresses and anchors.
    while read -r target; do
        path=${target%%#*}
        [[ -z $path || $path =~ ^[a-z]+: ]] && continue
        [[ -e $(dirname "$page")/$path ]] || fail "$page links to $target, which is not there"
    done < <(grep -o '\]([^) ]*)' "$page" | sed 's/^](//; s/)$//')
done

for command in scripts/run ./scripts/test; do
    head -n 60 README.md | grep -qx "    $command" ||
        fail "README.md: $command not in its first 60 lines"
done
((failed == 0)) && echo "links_test: passed"
exit $failed
