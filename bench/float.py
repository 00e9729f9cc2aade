# Ten million terms of the Leibniz series for Pi/4 in double arithmetic.


def main():
    total = 0.0
    sign = 1.0
    for k in range(10000000):
        total = total + sign / (2 * k + 1)
        sign = -sign
    print(int(total * 1e9))


main()
