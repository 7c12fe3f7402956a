# shellcheck shell=bash disable=SC2086
# What the start-up benchmarks share: one start measured with bench_shown, and the figures
# summed up. Sourced by bench/run-startup and bench/run-startup-windows, after tests/e2e/lib.sh;
# BENCH_SHOWN names the bench_shown program.

# Percentile P (0 to 1) of the numbers given.
percentile() {
    local p=$1
    shift
    printf '%s\n' "$@" | sort -g | awk -v p="$p" '{ v[NR] = $1 } END {
        i = int(p * NR + 0.999); if (i < 1) i = 1; if (i > NR) i = NR; print v[i] }'
}
summary() { echo "$(percentile 0.5 "$@") ($(percentile 0.1 "$@")-$(percentile 0.9 "$@"))"; }
# The ratios of the numbers in two lists taken in pairs: "a1 a2 ..." and "b1 b2 ...".
pair_ratios() {
    paste -d' ' <(tr ' ' '\n' <<<"$1") <(tr ' ' '\n' <<<"$2") |
        awk '$2 > 0 { printf "%.3f\n", $1 / $2 }'
}
ratio_summary() {
    local ratios
    mapfile -t ratios < <(pair_ratios "$1" "$2")
    printf '%.2f (%.2f-%.2f)' "$(percentile 0.5 "${ratios[@]}")" \
        "$(percentile 0.1 "${ratios[@]}")" "$(percentile 0.9 "${ratios[@]}")"
}

# One start of CMD... whose window is TITLE; appends its figures to the lists named KEY_shown,
# KEY_drawn and KEY_cpu.
declare -A samples
measure() {
    local key=$1 title=$2 figures
    shift 2
    figures=$("$BENCH_SHOWN" "$title" "$@") || e2e_fail "bench_shown: $*"
    read -r s d _ c <<<"$figures"
    samples[${key}_shown]+="$s " samples[${key}_drawn]+="$d " samples[${key}_cpu]+="$c "
}

row() { printf '%-30s %18s %18s %18s\n' "$@"; }

# The table of the starts of KEY (named NAME) beside those of BARE_KEY (named BARE_NAME).
startup_table() {
    local name=$1 key=$2 bare_name=$3 bare_key=$4 figure label
    row "" "$name" "$bare_name" "ratio"
    for figure in shown drawn cpu; do
        case $figure in
        shown) label="window shown (ms)" ;;
        drawn) label="window drawn (ms)" ;;
        cpu) label="CPU until drawn (ms)" ;;
        esac
        row "$label" "$(summary ${samples[${key}_$figure]})" \
            "$(summary ${samples[${bare_key}_$figure]})" \
            "$(ratio_summary "${samples[${key}_$figure]}" "${samples[${bare_key}_$figure]}")"
    done
}
