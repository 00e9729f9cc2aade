# Appends a million numbers to one string, then scans it in overlapping pieces.


def main():
    s = ""
    for i in range(1, 1000001):
        s = s + str(i)
    checksum = len(s)
    for k in range(len(s) // 4 - 1):
        checksum += s[k * 4:k * 4 + 8].find("7") + 1
    print(checksum)


main()
