def main():
    s = ""
    for i in range(20000):
        s = s + "x"
    print(len(s))


main()
