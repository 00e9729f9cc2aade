# Sieve of Eratosthenes up to one million, five rounds over one array of Booleans.

N = 1000000
ROUNDS = 5


def sieve(flags):
    for i in range(2, N + 1):
        flags[i] = True
    count = 0
    for i in range(2, N + 1):
        if flags[i]:
            count += 1
            j = i + i
            while j <= N:
                flags[j] = False
                j += i
    return count


def main():
    flags = [False] * (N + 1)
    total = 0
    for _ in range(ROUNDS):
        total += sieve(flags)
    print(total)


main()
