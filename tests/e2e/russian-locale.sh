#!/bin/sh
# russian-locale.sh LOCALE_DIR COMMAND...: runs COMMAND under the Russian
# UTF-8 locale. Wine takes a process's ANSI code page from its locale, and
# the exit question's Cyrillic test runs a Pinlorn under ru_RU.UTF-8 (code
# page 1251).
#
# The locale is compiled once into LOCALE_DIR, a folder of the build, and
# found there through LOCPATH: no root needed, only the locale sources of
# Debian's locales package. Without them the host's own ru_RU.UTF-8 serves,
# if it has one. Without either the test is skipped (exit code 77) with a
# line that says why.
set -eu
dir=$1
shift

# in_locale LOCPATH COMMAND...: COMMAND under the locale, found in LOCPATH
# (empty: among the host's).
in_locale() {
  if [ -n "$1" ]; then locpath=$1; shift; LOCPATH=$locpath LC_ALL=ru_RU.UTF-8 "$@"
  else shift; env -u LOCPATH LC_ALL=ru_RU.UTF-8 "$@"; fi
}
# Does the locale work there? Where it is missing, locale complains.
works() {
  [ "$(in_locale "$1" locale charmap 2>/dev/null)" = UTF-8 ] &&
    ! in_locale "$1" locale 2>&1 >/dev/null | grep -q .
}

if ! works "$dir" && command -v localedef >/dev/null &&
   [ -f /usr/share/i18n/locales/ru_RU ]; then
  # Made aside and moved in whole, so that a run cut short leaves no half.
  mkdir -p "$dir"
  part=$(mktemp -d "$dir/.part.XXXXXX")
  # localedef warns (and exits 1) about details of the sources it still
  # compiles; whether the result works is checked below.
  localedef -i ru_RU -f UTF-8 "$part/ru_RU.UTF-8" >/dev/null 2>&1 || true
  if [ -f "$part/ru_RU.UTF-8/LC_CTYPE" ]; then
    rm -rf "$dir/ru_RU.UTF-8"
    mv "$part/ru_RU.UTF-8" "$dir/ru_RU.UTF-8"
  fi
  rm -rf "$part"
fi
LC_ALL=ru_RU.UTF-8
export LC_ALL
if works "$dir"; then LOCPATH=$dir; export LOCPATH; exec "$@"; fi
if works ""; then unset LOCPATH; exec "$@"; fi
echo "SKIPPED: no Russian locale: the host has no ru_RU.UTF-8, and none can be compiled" \
     "into $dir (localedef needs /usr/share/i18n/locales/ru_RU from Debian's locales package;" \
     "scripts/bootstrap test installs it)"
exit 77
