#!/bin/bash
# Fails when a shipped language lacks a catalog, when a catalog misses a
# translation of any text the sources mark today (templates extracted afresh,
# so a newly marked text is caught before anyone runs update-pot.sh), or when
# a catalog does not declare UTF-8 or does not compile cleanly.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
languages=(da de el es fi fr is it ko nl nb nn pl pt_BR pt_PT ru sv)
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT
"$here/update-pot.sh" --out "$fresh" || exit 1
status=0
for code in "${languages[@]}"; do
    for domain in Marquill default; do
        po=$here/$code/$domain.po
        if [ ! -f "$po" ]; then
            echo "missing catalog: $code/$domain.po"
            status=1
            continue
        fi
        msgfmt --check -o /dev/null "$po" || status=1
        # Untranslated and fuzzy entries count as missing here.
        msgcmp "$po" "$fresh/$domain.pot" || { echo "incomplete: $code/$domain.po"; status=1; }
        grep -q '^"Content-Type: text/plain; charset=UTF-8\\n"$' "$po" ||
            { echo "no UTF-8 charset: $code/$domain.po"; status=1; }
    done
done
exit $status
