#!/bin/bash
# Extracts the catalog templates from the sources: Marquill.pot holds the
# window's texts (its description table alone), default.pot every other
# standard text. Only N_() marks count. Then brings every language's .po up
# to date with msgmerge, so new texts show there as untranslated.
# With --out DIR, only writes the two templates into DIR (for the check).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/locale
merge=yes
if [ "${1:-}" = "--out" ]; then
    out=$2
    merge=no
fi
cd "$root"
version=$(sed -n 's/^project(Marquill VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
common=(--keyword --keyword=N_ --language=C++ --from-code=UTF-8 --add-comments=TRANSLATORS
        --package-name=Marquill --package-version="$version" --msgid-bugs-address=support@marquill.org
        --sort-by-file)

xgettext "${common[@]}" -o "$out/Marquill.pot" ui/FormData.cpp
mapfile -t sources < <(find app base cli i18n oeminfo picture ui \( -name '*.cpp' -o -name '*.h' \) | sort |
                       grep -v -e '^ui/FormData\.cpp$' -e '/tests/' -e '/fuzz/')
xgettext "${common[@]}" -o "$out/default.pot" "${sources[@]}"

for domain in Marquill default; do
    # The charset translators must keep.
    sed -i 's/charset=CHARSET/charset=UTF-8/' "$out/$domain.pot"
    [ $merge = yes ] || continue
    for po in locale/*/"$domain.po"; do
        [ -e "$po" ] || continue
        msgmerge --quiet --update --backup=none --no-fuzzy-matching "$po" "locale/$domain.pot"
    done
done
