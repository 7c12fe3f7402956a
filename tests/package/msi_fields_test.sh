#!/usr/bin/env bash
# What Add/Remove Programs shows of the installer, read from the MSI itself with msiinfo: the
# publisher, the version, the help link, the icon and the estimated size, and the licences it
# installs beside velmora.exe.
# Environment: VELMORA_MSI, VELMORA_VERSION, VELMORA_HOMEPAGE.
set -uo pipefail
failed=0
fail() {
    echo "msi_fields_test: $*" >&2
    failed=1
}

# The value of one row of TABLE whose first column is KEY, column COLUMN (1-based).
cell() {
    msiinfo export "$VELMORA_MSI" "$1" | tr -d '\r' | awk -F'\t' -v key="$2" -v col="$3" \
        'NR > 3 && $1 == key { print $col; exit }'
}

property() { cell Property "$1" 2; }

while read -r name expected; do
    [[ $(property "$name") == "$expected" ]] ||
        fail "$name is '$(property "$name")', not '$expected'"
done <<EOT
Manufacturer The Velmora developers
ProductVersion $VELMORA_VERSION
ARPHELPLINK $VELMORA_HOMEPAGE
ARPURLINFOABOUT $VELMORA_HOMEPAGE
ARPPRODUCTICON velmora.ico
EOT
# The Icon table's rows are streams (exporting the table would write them out as files).
msiinfo streams "$VELMORA_MSI" | tr -d '\r' | grep -qx Icon.velmora.ico || fail "no icon velmora.ico"

# The estimated size covers every file installed, in KiB, rounded up.
bytes=$(msiinfo export "$VELMORA_MSI" File | tr -d '\r' |
    awk -F'\t' 'NR > 3 { sum += $4 } END { print sum + 0 }')
size=$(property ARPSIZE)
((bytes > 0)) && [[ $size == "$(((bytes + 1023) / 1024))" ]] ||
    fail "ARPSIZE is '$size' for $bytes bytes of files"

for file in LICENSE.txt third_party_licences.txt; do
    [[ $(cell File "$file" 2) == Licences ]] || fail "$file is not installed with the licences"
done
((failed == 0)) && echo "msi_fields_test: passed"
exit $failed
