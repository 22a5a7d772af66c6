# The median of a space-separated list of numbers (-1 for none), for both report scripts.
function median_of(text,    n, i, j, t, v) {
    n = split(text, v, " ")
    if (n == 0) return -1
    for (i = 1; i <= n; i++) v[i] += 0
    for (i = 2; i <= n; i++) { t = v[i]; for (j = i - 1; j >= 1 && v[j] > t; j--) v[j + 1] = v[j]; v[j + 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
