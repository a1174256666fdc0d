# Bubble sort of 2,500 pseudo-random integers from a linear congruential
# generator; prints the smallest and largest value, a position-weighted sum
# and the number of pairs still out of order (0).
def main():
    n = 2500
    v = [0] * n
    x = 12345
    for i in range(n):
        x = (x * 1103515245 + 12345) % 2147483648
        v[i] = x // 65536
    for i in range(n - 1, 0, -1):
        for j in range(i):
            if v[j] > v[j + 1]:
                t = v[j]
                v[j] = v[j + 1]
                v[j + 1] = t
    w = 0
    bad = 0
    for i in range(n):
        w = w + v[i] * (i + 1)
        if i > 0:
            if v[i - 1] > v[i]:
                bad += 1
    print(v[0], v[n - 1], w, bad)


main()
