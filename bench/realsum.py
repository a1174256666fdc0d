def main():
    s = 0.0
    for i in range(1, 1000001):
        s = s + 1.0 / float(i)
    print(s)


main()
