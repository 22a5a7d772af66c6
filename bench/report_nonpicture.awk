# The non-picture row of scripts/bench, read from the same raw results as report.awk: lines
# "nonpicture <small|large> <round> <ms>" and "nonpicture-peak <small|large> <round> <bytes>",
# round 0 left out. The goal: over 3 GiB at most 1.5 times the step over 3 bytes plus 50 ms, and
# the peak working set at most 64 MiB higher. median_of comes from median.awk.

NF == 4 && $1 ~ /^nonpicture/ && $3 > 0 { val[$1, $2, $3] = $4 + 0; list[$1, $2] = list[$1, $2] " " $4; rounds[$3] = 1 }

END {
    MiB = 1048576
    ratios = ""
    for (r in rounds)
        if (("nonpicture", "large", r) in val && ("nonpicture", "small", r) in val)
            ratios = ratios " " val["nonpicture", "large", r] / (1.5 * val["nonpicture", "small", r] + 50)
    ratio = median_of(ratios)
    peak = median_of(list["nonpicture-peak", "large"])
    verdict = ratio < 0 ? "NO DATA" : ratio <= 1.0 && peak <= 64 * MiB ? "PASS" : "FAIL"
    printf "\n| # | Measure | Goal | Measured | Verdict |\n|---|---|---|---|---|\n"
    printf "| 8 | Next over a 3 GiB movie between two 640x480 JPEGs at once after the open, read-ahead on / (1.5 x the step over a 3-byte one + 50 ms); peak working set growth | at most 1.00; at most 64 MiB | %.2f (%.1f ms against %.1f ms); %.1f MiB | %s |\n", ratio, median_of(list["nonpicture", "large"]), median_of(list["nonpicture", "small"]), peak / MiB, verdict
}
