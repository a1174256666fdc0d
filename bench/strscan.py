# Builds a 200,000-character text one character at a time, each taken
# from a seven-letter alphabet by a fixed rule, then scans it from start to
# end and counts two of the letters; prints the length and the two counts.
def main():
    n = 200000
    alfa = "abcdefg"
    s = ""
    for i in range(n):
        k = (i * i + 3 * i + i // 7) % 7
        c = alfa[k]
        s += c
    ca = 0
    cg = 0
    for i in range(len(s)):
        c = s[i]
        if c == "a":
            ca += 1
        if c == "g":
            cg += 1
    print(len(s), ca, cg)


main()
