# 50 steps of a 3-point averaging stencil over 20,000 reals with both ends
# held fixed; the steps go back and forth between two lists.  Prints the sum
# of squares and the middle element, each scaled and rounded to an integer
# (round() goes to the even integer on a tie).
def main():
    n = 20000
    a = [0.0] * n
    b = [0.0] * n
    for i in range(n):
        a[i] = float(i % 100)
    b[0] = a[0]
    b[n - 1] = a[n - 1]
    for k in range(25):
        for i in range(1, n - 1):
            b[i] = (a[i - 1] + a[i] + a[i + 1]) / 3.0
        for i in range(1, n - 1):
            a[i] = (b[i - 1] + b[i] + b[i + 1]) / 3.0
    s = 0.0
    for i in range(n):
        s = s + a[i] * a[i]
    print(round(s * 1000.0), round(a[n // 2] * 1000000.0))


main()
