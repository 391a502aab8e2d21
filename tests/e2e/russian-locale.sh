#!/bin/sh
# Makes sure the Russian UTF-8 locale exists: Wine takes a process's ANSI code
# page from its locale, and the exit question's Cyrillic test runs a Pinlorn
# under ru_RU.UTF-8 (code page 1251). Generating it needs root once.
if locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\{0,1\}8'; then exit 0; fi
if ! localedef -i ru_RU -f UTF-8 ru_RU.UTF-8; then
  echo "The locale ru_RU.UTF-8 is missing; as root run: localedef -i ru_RU -f UTF-8 ru_RU.UTF-8" >&2
  exit 1
fi
