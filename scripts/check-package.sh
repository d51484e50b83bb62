#!/usr/bin/env bash
# Builds the Debian package and checks it: it holds exactly the files the
# install rules promise, the desktop entry, the AppStream entry and the
# manual page are valid, lintian finds no errors, and the programs unpacked
# from it answer an entry (the window edition in its own X server, the
# terminal edition through a pipe) and end with status 0.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "package check failed: $*" >&2; exit 1; }

deb=$(scripts/package.sh)
echo "$deb: $(stat -c %s "$deb") bytes"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

has_console=no
if grep -qx spektralrechner-console build/packaging/programs.txt; then has_console=yes; fi

expected=(
  usr/bin/spektralrechner
  usr/share/applications/spektralrechner.desktop
  usr/share/metainfo/example.c_seed_e378bf91.spektralrechner.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/spektralrechner.svg
  usr/share/man/man1/spektralrechner.1.gz
  usr/share/doc/spektralrechner/README.md
  usr/share/doc/spektralrechner/LICENSE
  usr/share/doc/spektralrechner/copyright
  usr/share/doc/spektralrechner/changelog.gz
  usr/share/doc/spektralrechner/docs/calculator.png
  usr/share/doc/spektralrechner/docs/diagram.png
  "usr/$(cat build/packaging/diagram_module.txt)"
)
if [ "$has_console" = yes ]; then
  expected+=(usr/bin/spektralrechner-console usr/share/man/man1/spektralrechner-console.1.gz)
fi
diff -u <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) \
  || fail "the package's files differ from the promised ones (- promised, + packaged)"

# Changelog and manual page name the package's version.
version=$(dpkg-deb -f "$deb" Version)
latest=$(zcat "$root/usr/share/doc/spektralrechner/changelog.gz" | sed -n 1p)
[[ $latest == "spektralrechner ($version) "* ]] || fail "the changelog's latest entry is not for $version: $latest"
title=$(zcat "$root/usr/share/man/man1/spektralrechner.1.gz" | grep '^\.TH')
[[ $title == *"\"spektralrechner $version\""* ]] || fail "the manual page is not for $version: $title"

report=$(desktop-file-validate "$root/usr/share/applications/spektralrechner.desktop" 2>&1) \
  || fail "desktop-file-validate: $report"
if grep -v ': hint: ' <<<"$report" | grep -q .; then fail "desktop-file-validate: $report"; fi

for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $(basename "$page"): $warnings"
done

# The software centres' entry: valid, without warnings (notes are printed).
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
report=$(appstreamcli validate --no-net "${metainfo[@]}" 2>&1) || fail "appstreamcli validate: $report"
if grep -q '^[EW]:' <<<"$report"; then fail "appstreamcli validate: $report"; fi
echo "$report"

lint=$(lintian --tag-display-limit 0 --fail-on error --display-info "$deb" 2>&1) || fail "lintian: $lint"
grep -v 'root privileges' <<<"$lint" || true   # the warnings and notes that remain

# The window edition from the package, in the end-to-end tests' X server.
# A filter that names no test would pass silently: the step needs a test
# that ran and passed.
cmake --build build -j"$(nproc)" --target e2e_test_calculator >/dev/null
report=$(E2E_CALCULATOR="$root/usr/bin/spektralrechner" build/tests/e2e/e2e_test_calculator --gtest_brief=1 \
  --gtest_filter='Calculator.*' 2>&1) || fail "the packaged window edition: $report"
grep -Eq '^\[  PASSED  \] [1-9][0-9]* tests?\.' <<<"$report" \
  || fail "no test of the packaged window edition ran: $report"

if [ "$has_console" = yes ]; then
  status=0
  output=$(printf '555.5\n' | env -u DISPLAY "$root/usr/bin/spektralrechner-console") || status=$?
  [ "$status" -eq 0 ] || fail "the packaged terminal edition ended with status $status"
  grep -qxF '         x=  .3409378' <<<"$output" && grep -qxF '         y=  .6554428' <<<"$output" \
    || fail "the packaged terminal edition answered 555.5 with: $output"
fi
# The modes without a window, in both editions: a table, and the picture in
# each format through the drawing module installed beside them.
for program in "$root"/usr/bin/*; do
  table=$(env -u DISPLAY "$program" --table 450 650 50) || fail "$(basename "$program") --table ended with status $?"
  [ "$(sed -n 2p <<<"$table")" = "450,450,0.156641,0.017705,," ] && [ "$(wc -l <<<"$table")" -eq 6 ] \
    || fail "$(basename "$program") --table 450 650 50 gave: $table"
  for format in png svg pdf; do
    picture="$root/diagram.$format"
    env -u DISPLAY "$program" --plot "$picture" 555.5 -500 450 || fail "$(basename "$program") --plot $format ended with status $?"
    case $(file -b "$picture") in
      "PNG image data, 880 x 1000,"* | "SVG Scalable Vector Graphics image" | "PDF document"*) ;;
      *) fail "$(basename "$program") --plot wrote no $format: $(file -b "$picture")" ;;
    esac
    rm "$picture"
  done
done
echo "package checks passed"
