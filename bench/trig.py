# Sum of sin(x) * cos(x) + sqrt(x) for x = i / 1000 with i from 1 to
# 1,000,000; prints the sum times 1000 rounded to an integer (round() goes to
# the even integer on a tie).
import math


def main():
    s = 0.0
    for i in range(1, 1000001):
        x = float(i) / 1000.0
        s = s + math.sin(x) * math.cos(x) + math.sqrt(x)
    print(round(s * 1000.0))


main()
