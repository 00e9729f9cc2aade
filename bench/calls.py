# Function calls: bubble sort of 3500 integers with a swap function per exchange.

N = 3500


def swap(a, i, j):
    a[i], a[j] = a[j], a[i]


def bubble_sort(a, n):
    swaps = 0
    for i in range(n - 1, 0, -1):
        for j in range(1, i + 1):
            if a[j] > a[j + 1]:
                swap(a, j, j + 1)
                swaps += 1
    return swaps


def main():
    a = [0] * (N + 1)
    x = 1
    for i in range(1, N + 1):
        x = (x * 75 + 74) % 65537
        a[i] = x
    swaps = bubble_sort(a, N)
    s = 0
    for i in range(1, N + 1):
        s = (s * 31 + a[i]) % 1000003
    print(swaps + s)


main()
