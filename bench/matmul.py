# Product of two 150x150 integer matrices stored row by row in flat lists;
# prints a weighted sum of the elements of the product and two of its corners.
def main():
    n = 150
    a = [0] * (n * n)
    b = [0] * (n * n)
    c = [0] * (n * n)
    for i in range(n):
        for j in range(n):
            a[i * n + j] = (i * j + i + 2 * j) % 7 - 3
            b[i * n + j] = (i * i + 3 * j + 1) % 5 - 2
    for i in range(n):
        for j in range(n):
            s = 0
            for k in range(n):
                s = s + a[i * n + k] * b[k * n + j]
            c[i * n + j] = s
    t = 0
    for i in range(n * n):
        t = t + c[i] * (i % 10 + 1)
    print(t, c[0], c[n * n - 1])


main()
