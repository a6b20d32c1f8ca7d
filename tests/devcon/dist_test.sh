#!/usr/bin/env bash
# The release package twice, from copies of the built programs in two other folders made at
# different times: the two zips must be the same bytes, hold exactly the files of the layout
# the program expects, and their SHA256SUMS must match those files.
#   tests/devcon/dist_test.sh <source root> <work folder>
set -euo pipefail
root=$1
work=$2
rm -rf "$work"
mkdir -p "$work/a" "$work/b"
inputs=("$root/build/win32/app/netmend.exe" "$root/build/win32/devcon/devcon.exe" "$root/build/win64/devcon/devcon.exe")
for input in "${inputs[@]}"; do
  [[ -f $input ]] || { echo "dist_test: $input is not built"; exit 1; }
done
make_package() {
  local at=$1
  mkdir -p "$at/in/x86" "$at/in/x64"
  cp "${inputs[0]}" "$at/in/netmend.exe"
  cp "${inputs[1]}" "$at/in/x86/devcon.exe"
  cp "${inputs[2]}" "$at/in/x64/devcon.exe"
  touch -d "$2" "$at"/in/*.exe "$at"/in/*/devcon.exe
  chmod "$3" "$at"/in/*.exe "$at"/in/*/devcon.exe
  "$root/scripts/dist.py" --out "$at/out" --netmend "$at/in/netmend.exe" \
    --devcon-x86 "$at/in/x86/devcon.exe" --devcon-x64 "$at/in/x64/devcon.exe" >/dev/null
}
make_package "$work/a" "2001-10-25 12:00" 755
make_package "$work/b" "2024-02-29 23:59" 600
zips=("$work"/a/out/netmend-*.zip)
[[ ${#zips[@]} == 1 && -f ${zips[0]} ]] || { echo "dist_test: no package made"; exit 1; }
name=$(basename "${zips[0]}")
cmp "${zips[0]}" "$work/b/out/$name" || { echo "dist_test: two builds of the package differ"; exit 1; }

mkdir "$work/unpacked"
python3 -m zipfile -e "${zips[0]}" "$work/unpacked"
folder=$work/unpacked/${name%.zip}
expected="LICENSE.txt
README.txt
SHA256SUMS
THIRD-PARTY-NOTICES.txt
netmend.exe
x64/devcon.exe
x86/devcon.exe"
listed=$(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[[ $listed == "$expected" ]] || { printf 'dist_test: the package holds\n%s\n' "$listed"; exit 1; }
(cd "$folder" && sha256sum --quiet -c SHA256SUMS) || { echo "dist_test: SHA256SUMS does not match"; exit 1; }
[[ $(wc -l <"$folder/SHA256SUMS") == 6 ]] || { echo "dist_test: SHA256SUMS does not list every file"; exit 1; }
cmp "${inputs[1]}" "$folder/x86/devcon.exe" && cmp "${inputs[2]}" "$folder/x64/devcon.exe"
echo "dist_test: $name reproducible, $(stat -c %s "${zips[0]}") bytes, sha256 $(sha256sum <"${zips[0]}" | cut -c1-64)"
