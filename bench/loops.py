# Three nested integer loops, 27 million iterations of integer arithmetic.


def main():
    s = 0
    for i in range(1, 301):
        for j in range(1, 301):
            for k in range(1, 301):
                s = ((s ^ (i * j)) + k) % 1000003
    print(s)


main()
