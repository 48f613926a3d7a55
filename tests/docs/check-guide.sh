#!/usr/bin/env bash
# The operator's guide as built beside the console: one page that opens with
# no network and nothing beside it, whose contents links all lead somewhere.
#
#   check-guide.sh GUIDE
set -uo pipefail
guide=$1
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

[ -f "$guide" ] || { echo "FAIL: no guide at $guide" >&2; exit 1; }

size=$(stat -c %s "$guide")
[ "$size" -lt 1048576 ] || fail "the guide is $size bytes, over 1 MiB"

# Everything the page loads is inside it: pictures as data: URIs, and no
# style sheet, script, frame or font fetched from elsewhere.
outside=$(grep -oE '\b(src|srcset|poster|data)="[^"]*"' "$guide" | grep -v '="data:' | cut -c1-80)
[ -z "$outside" ] || fail "the guide loads files from outside itself: $outside"
grep -qiE '<(link|script|iframe|object|embed)\b|@import|url\(' "$guide" \
    && fail "the guide refers to a style sheet, script, frame or font"

# Every picture has a text for those who cannot see it.
grep -oE '<img\b[^>]*>' "$guide" | grep -v 'alt="[^"]' | grep -q . \
    && fail "a picture has no alt text"

# Every link within the page leads to an element that exists.
ids=$(grep -oE '\bid="[^"]+"' "$guide" | sed 's/^id="//; s/"$//' | sort)
duplicates=$(uniq -d <<<"$ids")
[ -z "$duplicates" ] || fail "ids used twice: $duplicates"
for target in $(grep -oE 'href="#[^"]*"' "$guide" | sed 's/^href="#//; s/"$//' | sort -u); do
    grep -qxF -- "$target" <<<"$ids" || fail "the link to #$target leads nowhere"
done

[ "$failures" -eq 0 ] || exit 1
echo "guide: $size bytes, $(grep -c 'src="data:image/png' "$guide") pictures, all links resolve"
