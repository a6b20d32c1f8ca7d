#!/bin/bash
# The rooms lean one way: each may include only itself and the rooms beneath it. base/ uses
# nothing of ours; runtime/core only base/; runtime/templates the core; runtime/forms the
# templates; runtime/units (what every unit class needs) the forms; runtime/classes the units;
# the top of runtime/ its rooms; the components' rooms the runtime up to its units (never the
# built-in classes) and base/, and among the components the image core (components/image/)
# none of the units, the label the image core, the object the label and the image core, the
# box the object, the label and the image core, and only the registration in components/
# itself all of them; skin/ the runtime, the components and base/; app/ (and its services) only
# base/, the runtime's core and templates and its entry headers (runtime/entry_points*.h),
# besides the components and the skin; app/services/ only the portable entry header; nothing
# but app/, tools/ and the tests includes app/. Portable files (not *_win.*) include neither
# windows.h nor a _win header. Prints every include that leans the wrong way and fails when
# there is one.
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

room_of() {
  case "$1" in
    base/*) echo base ;;
    runtime/core/*) echo core ;;
    runtime/templates/*) echo templates ;;
    runtime/forms/*) echo forms ;;
    runtime/units/*) echo units ;;
    runtime/classes/*) echo classes ;;
    runtime/entry_points_win.h) echo entry_win ;;
    runtime/entry_points.h) echo entry ;;
    runtime/*) echo runtime ;;
    components/image/*) echo image ;;
    components/label/*) echo label ;;
    components/object/*) echo object ;;
    components/box/*) echo box ;;
    components/*) echo components ;;
    assets/*) echo assets ;;
    skin/*) echo skin ;;
    app/services/*) echo services ;;
    app/*) echo app ;;
    tools/*) echo tools ;;
    *) echo other ;;
  esac
}

# What each room may include besides itself.
allowed() {
  case "$1" in
    base) echo "" ;;
    core) echo "base" ;;
    templates) echo "base core" ;;
    forms) echo "base core templates" ;;
    units) echo "base core templates forms" ;;
    classes) echo "base core templates forms units" ;;
    runtime) echo "base core templates forms units classes entry entry_win" ;;
    entry) echo "base core forms" ;;
    entry_win) echo "base core templates forms units classes entry" ;;
    image) echo "base core templates forms units" ;;
    label) echo "base core templates forms units image" ;;
    object) echo "base core templates forms units image label" ;;
    box) echo "base core templates forms units image label object" ;;
    components) echo "base core templates forms units image label object box" ;;
    assets) echo "base" ;;
    skin) echo "base core templates forms units classes runtime entry entry_win image label object box components assets" ;;
    services) echo "base core templates entry" ;;
    app) echo "base core templates entry entry_win image label object box components assets skin services" ;;
    tools) echo "base core templates forms units classes runtime entry entry_win image label object box components assets skin services app" ;;
  esac
}

faults=0
while IFS= read -r file; do
  [ -f "$file" ] || continue
  from=$(room_of "$file")
  [ "$from" = other ] && continue
  while IFS= read -r line; do
    target=$(sed -E 's/^[0-9]+:#include "([^"]+)".*/\1/' <<<"$line")
    to=$(room_of "$target")
    [ "$to" = other ] || [ "$to" = "$from" ] && continue
    if [[ " $(allowed "$from") " != *" $to "* ]]; then
      echo "$file:${line%%:*}: $from includes $target ($to lies above it)"
      faults=$((faults + 1))
    fi
  done < <(grep -nE '^#include "' "$file" || true)
  # Portable code stays portable: only a _win file includes windows.h or a _win header.
  case "$file" in *_win.*) continue ;; esac
  while IFS= read -r line; do
    echo "$file:${line%%:*}: portable code includes ${line#*:#include }"
    faults=$((faults + 1))
  done < <(grep -nE '^#include ("[^"]*_win\.h"|<windows\.h>)' "$file" || true)
done < <(git ls-files '*.h' '*.cpp')

if [ "$faults" -gt 0 ]; then
  echo "$faults include(s) lean the wrong way"
  exit 1
fi
echo "every include leans downward"
