def main():
    best = 0
    bestn = 0
    for n in range(1, 30001):
        m = n
        steps = 0
        while m != 1:
            if m % 2 == 0:
                m = m // 2
            else:
                m = 3 * m + 1
            steps += 1
        if steps > best:
            best = steps
            bestn = n
    print(bestn, best)


main()
