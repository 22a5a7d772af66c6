# The burst row of scripts/bench, read from the same raw results as report.awk: lines
# "burst <on|off> <round> <ms>", "burst-held", "burst-taken" and "burst-decodes ... <count>" and
# "burst-memory ... <bytes>", round 0 left out.
# The ratio is the median of the ratios of each round's pair. median_of comes from median.awk.

NF == 4 && $1 ~ /^burst/ && $3 > 0 { val[$1, $2, $3] = $4 + 0; list[$1, $2] = list[$1, $2] " " $4; rounds[$3] = 1 }

END {
    MiB = 1048576
    ratios = ""
    for (r in rounds)
        if (("burst", "on", r) in val && ("burst", "off", r) in val && val["burst", "off", r] > 0)
            ratios = ratios " " val["burst", "on", r] / val["burst", "off", r]
    ratio = median_of(ratios)
    verdict = ratio < 0 ? "NO DATA" : ratio <= 0.60 ? "PASS" : "FAIL"
    printf "\n| # | Measure | Goal | Measured | Verdict |\n|---|---|---|---|---|\n"
    printf "| 7 | Burst: 8 Next queued 40 ms apart after a 3 s look (24 MP JPEGs), to the paint of the ninth: read-ahead on / off | <= 0.60 | %.2f | %s |\n", ratio, verdict
    printf "7 Burst: on %.0f, off %.0f; read-ahead decodes %s, of them made by the waiting step %s, taken by the steps %s; prepared pictures held at the end %s; private bytes at the end on %.1f MiB, off %.1f MiB\n", median_of(list["burst", "on"]), median_of(list["burst", "off"]), median_of(list["burst-decodes", "on"]), median_of(list["burst-helped", "on"]), median_of(list["burst-taken", "on"]), median_of(list["burst-held", "on"]), median_of(list["burst-memory", "on"]) / MiB, median_of(list["burst-memory", "off"]) / MiB
}
