def main():
    s = 0
    for i in range(3000000):
        s = s + i
    print(s)


main()
