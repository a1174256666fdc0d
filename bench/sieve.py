def main():
    n = 1000000
    p = [1] * (n + 1)
    p[0] = 0
    p[1] = 0
    i = 2
    while i * i <= n:
        if p[i] == 1:
            for j in range(i * i, n + 1, i):
                p[j] = 0
        i += 1
    c = 0
    for i in range(n + 1):
        c += p[i]
    print(c)


main()
