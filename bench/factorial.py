def main():
    f = 1
    for i in range(2, 20001):
        f = f * i
    print(f % 1000000007)


main()
