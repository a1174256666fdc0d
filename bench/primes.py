# Counts the primes up to 200,000 by trial division: each odd n is divided by
# the odd d with d * d <= n until one divides it.
def main():
    c = 1
    for n in range(3, 200001, 2):
        primo = True
        d = 3
        while d * d <= n:
            if n % d == 0:
                primo = False
                break
            d = d + 2
        if primo:
            c += 1
    print(c)


main()
