# Reads the raw results of scripts/bench and prints the table and the details.
# Per-round lines: "<what> <who> <round> <value>", round 0 being the warm-up (left out).
# Per-sample lines of the driver: "<what> <label> <value>", numbered in the order they come.
# A ratio is the median of the ratios of the pairs measured next to each other (same round, or
# same sample), which a drift in the machine's load moves less than a ratio of two medians.
# Variables: runs, wine, machine, load.

function add(key, idx, value) {
    val[key, idx] = value + 0
    if (idx > last[key]) last[key] = idx
    list[key] = list[key] " " value
}
function median(key) { return median_of(list[key]) }
function spread(key,    n, i, v, lo, hi) {
    n = split(list[key], v, " ")
    for (i = 1; i <= n; i++) v[i] += 0
    lo = hi = v[1]
    for (i = 2; i <= n; i++) { if (v[i] < lo) lo = v[i]; if (v[i] > hi) hi = v[i] }
    return sprintf("%.0f-%.0f", lo, hi)
}
function spread_mib(key,    n, i, v, lo, hi) {
    n = split(list[key], v, " ")
    for (i = 1; i <= n; i++) v[i] += 0
    lo = hi = v[1]
    for (i = 2; i <= n; i++) { if (v[i] < lo) lo = v[i]; if (v[i] > hi) hi = v[i] }
    return sprintf("%.1f-%.1f", lo / 1048576, hi / 1048576)
}
function pratio(a, b,    i, text) {
    text = ""
    for (i = 1; i <= last[a]; i++)
        if ((a, i) in val && (b, i) in val && val[b, i] > 0) text = text " " val[a, i] / val[b, i]
    return median_of(text)
}
# A figure that is missing (a program failed; its reason is on stderr) never passes.
function within(x, goal) { return x < 0 ? "NO DATA" : x <= goal ? "PASS" : "FAIL" }

NF == 4 && ($1 ~ /^next/ || $1 == "startup" || $1 == "memory") { if ($3 > 0) add($1 " " $2, $3, $4); next }
NF == 3 && ($1 ~ /^rescan-/ || $1 ~ /^pan-/ || $1 ~ /^dwell-/) {
    key = $1 " " $2
    add(key, ++seen[key], $3)
    if ($1 == "pan-step") modes[$2] = 1
    next
}

END {
    MiB = 1048576
    next_ratio = pratio("next-vistrel driver", "next-baseline driver")
    pictures = 6
    start_ratio = pratio("startup vistrel", "startup baseline")
    start_wic_ratio = pratio("startup vistrel", "startup wic")
    startVerdict = within(start_ratio, 0.95) "; " within(start_wic_ratio, 1.00)
    rescan_ratio = pratio("rescan-rebuild 10000", "rescan-bare 10000")
    r10 = median("rescan-rebuild 10000"); r100 = median("rescan-rebuild 100000")
    b10 = median("rescan-bare 10000"); b100 = median("rescan-bare 100000")
    o10 = median("rescan-own 10000"); o100 = median("rescan-own 100000")
    growth = pratio("rescan-rebuild 100000", "rescan-rebuild 10000")
    nlogn = (100000 * log(100000)) / (10000 * log(10000))
    nmodes = 0
    for (m in modes) order[++nmodes] = m
    for (i = 2; i <= nmodes; i++) { t = order[i]; for (j = i - 1; j >= 1 && order[j] > t; j--) order[j + 1] = order[j]; order[j + 1] = t }
    for (i = 1; i <= nmodes; i++) {
        m = order[i]
        ratio[m] = pratio("pan-step " m, "pan-full " m)
        zoom = substr(m, index(m, "@") + 1)
        if (!(zoom in zworst) || ratio[m] > zworst[zoom]) { zworst[zoom] = ratio[m]; zmode[zoom] = substr(m, 1, index(m, "@") - 1) }
    }
    # At 100 % a full repaint is a plain copy that a step, paying the system's scroll of the whole
    # window besides its strip, cannot undercut; scaled, the step must cost a tenth of a repaint.
    panText = ""; panVerdict = ""
    for (i = 1; i <= nmodes; i++) {
        zoom = substr(order[i], index(order[i], "@") + 1)
        if (index(panText, "at " zoom "%") == 0) {
            panText = panText (panText == "" ? "" : "; ") sprintf("%.3f at %s%% (%s)", zworst[zoom], zoom, zmode[zoom])
            if (within(zworst[zoom], zoom == 100 ? 1.0 : 0.10) != "PASS")
                panVerdict = panVerdict (panVerdict == "" ? "FAIL at " : ", ") zoom " %"
        }
    }
    if (nmodes == 0) panVerdict = "NO DATA"
    else if (panVerdict == "") panVerdict = "PASS"
    decoded = 6000 * 4000 * 4
    mv = median("memory vistrel"); mb = median("memory baseline"); me = median("memory empty")
    md = median("memory dwell"); mdl = median("memory dwell-last")
    mvh = median("memory vistrel-held"); mbh = median("memory baseline-held")
    heldRatio = pratio("memory vistrel-held", "memory baseline-held")
    # While decoding, the file's bytes in memory and the one decoded picture, and little else.
    # Prepared after a look on this 2-core machine: the one worker's two ahead and one the
    # other way.
    prepared = 3 * decoded
    fileBytes = median("memory file-bytes")
    peakGoal = fileBytes < 0 ? -1 : fileBytes + decoded + 16 * MiB
    dwellGoal = mvh + prepared + 10 * MiB
    memVerdict = within(heldRatio, 0.80) "; " within(mv, peakGoal) "; " within(mdl, dwellGoal)
    lookF = pratio("dwell-look forward", "dwell-once forward")
    lookB = pratio("dwell-look backward", "dwell-once backward")
    lookVerdict = within(lookF, 0.05)
    if (lookVerdict == "PASS") lookVerdict = within(lookB, 0.05)

    printf "Vistrel benchmarks: %s on Linux, Xvfb 1280x1024, %s\n", wine, machine
    printf "Medians of %d runs after a warm-up; load average at the end: %s\n\n", runs, load
    printf "| # | Measure | Goal | Measured | Verdict |\n|---|---|---|---|---|\n"
    printf "| 1 | Next picture (24 MP JPEG and PNG): vistrel / baseline | <= 1.00 | %.2f | %s |\n", next_ratio, within(next_ratio, 1.00)
    printf "| 2 | Start-up to the first painted picture: vistrel / GDI+ baseline; vistrel / WIC baseline | <= 0.95; <= 1.00 | %.2f; %.2f | %s |\n", start_ratio, start_wic_ratio, startVerdict
    printf "| 3 | Folder rescan: rebuild / bare enumeration at 10,000; growth of the rebuild 10,000 -> 100,000 | <= 1.50; <= %.1fx (n log n) | %.2f; %.1fx | %s |\n", nlogn, rescan_ratio, growth, (within(rescan_ratio, 1.5) == "PASS" ? within(growth, nlogn) : within(rescan_ratio, 1.5))
    printf "| 4 | Pan: 60-px arrow step / full repaint, 1280x1024, worst of 6 interpolations, at 100 %% and one zoom step larger | <= 1.00 at 100 %%; <= 0.10 scaled | %s | %s |\n", panText, panVerdict
    printf "| 5 | Memory, one 24 MP JPEG: held 1 s after the first paint / baseline; peak private bytes while decoding; held after a 3 s look with read-ahead | <= 0.80; <= the file's %.1f + %.1f + 16 = %.1f MiB; <= held %.1f + 3 x %.1f + 10 = %.1f MiB | %.2f (%.1f / %.1f MiB); %.1f MiB; %.1f MiB | %s |\n", fileBytes / MiB, decoded / MiB, peakGoal / MiB, mvh / MiB, decoded / MiB, dwellGoal / MiB, heldRatio, mvh / MiB, mbh / MiB, mv / MiB, mdl / MiB, memVerdict
    printf "| 6 | Next picture after looking 2 s / at once (24 MP JPEG), forward; backward | <= 0.05 both | %.3f; %.3f | %s |\n", lookF, lookB, lookVerdict

    printf "\nDetails: milliseconds unless stated, median (min-max) over the runs\n"
    printf "1 Next, a cycle of %d pictures, each Next paired with the minimal viewer in one process:\n", pictures
    printf "  vistrel %.0f (%s), minimal viewer %.0f (%s); JPEG x4 ratio %.2f, PNG x2 ratio %.2f\n", median("next-vistrel driver"), spread("next-vistrel driver"), median("next-baseline driver"), spread("next-baseline driver"), pratio("next-vistrel-jpeg driver", "next-baseline-jpeg driver"), pratio("next-vistrel-png driver", "next-baseline-png driver")
    printf "  the baseline program as a process of its own: %.0f (%s), vistrel / it %.2f\n", median("next program"), spread("next program"), pratio("next-vistrel driver", "next program")
    printf "  split: GDI+ decode (with freeing the previous picture) %.0f, the paint %.0f in the minimal viewer; vistrel beyond it %+.1f per picture\n", median("next-baseline-decode driver"), median("next-baseline-paint driver"), (median("next-vistrel driver") - median("next-baseline driver")) / pictures
    printf "2 Start-up: vistrel %.0f (%s), GDI+ baseline %.0f (%s), WIC baseline %.0f (%s); WIC baseline / GDI+ baseline %.2f\n", median("startup vistrel"), spread("startup vistrel"), median("startup baseline"), spread("startup baseline"), median("startup wic"), spread("startup wic"), pratio("startup wic", "startup baseline")
    printf "3 Rescan 10,000: bare %.1f (%s), rebuild %.1f (%s), of it the list and sort %.1f\n", b10, spread("rescan-bare 10000"), r10, spread("rescan-rebuild 10000"), o10
    printf "  Rescan 100,000: bare %.1f (%s), rebuild %.1f (%s), of it the list and sort %.1f\n", b100, spread("rescan-bare 100000"), r100, spread("rescan-rebuild 100000"), o100
    printf "  growth 10,000 -> 100,000: bare enumeration %.1fx, rebuild %.1fx, list and sort %.1fx\n", pratio("rescan-bare 100000", "rescan-bare 10000"), growth, pratio("rescan-own 100000", "rescan-own 10000")
    printf "4 Pan, mode@zoom%%: step, full repaint, ratio | the step taken apart: system scroll, strip paint (of it the fixed cost of any paint), rest (key handling and noise)\n"
    for (i = 1; i <= nmodes; i++) {
        m = order[i]
        step = median("pan-step " m); scroll = median("pan-scroll " m); strip = median("pan-strip " m)
        printf "  %-16s %6.2f %7.2f  %.3f | %.2f  %.2f (%.2f)  %.2f\n", m, step, median("pan-full " m), ratio[m], scroll, strip, median("pan-dot " m), step - scroll - strip
    }
    printf "5 Private bytes (sampled peak): vistrel %.1f MiB, baseline %.1f MiB, WIC baseline %.1f MiB, vistrel without a picture %.1f MiB\n", mv / MiB, mb / MiB, median("memory wic") / MiB, me / MiB
    printf "  decoded size %.1f MiB; the platform (baseline) beyond it %+.1f MiB; vistrel beyond the baseline %+.1f MiB\n", decoded / MiB, (mb - decoded) / MiB, (mv - mb) / MiB
    printf "  after a 3 s look at the first of a folder of them: peak %.1f MiB (%s), at the end %.1f MiB; beyond showing one %+.1f MiB, %.1f MiB for each of three prepared pictures\n", md / MiB, spread_mib("memory dwell"), mdl / MiB, (md - mv) / MiB, (md - mv) / 3 / MiB
    printf "6 Look, then step: at once, after a 2 s look, ratio of the pairs | prepared pictures held at the command after the look\n"
    for (w = 1; w <= 2; w++) {
        way = w == 1 ? "forward" : "backward"
        printf "  %-8s %.0f (%s)  %.1f (%s)  %.3f | %s (%s)\n", way, median("dwell-once " way), spread("dwell-once " way), median("dwell-look " way), spread("dwell-look " way), pratio("dwell-look " way, "dwell-once " way), median("dwell-held " way), spread("dwell-held " way)
    }
}
