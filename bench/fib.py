# Recursive calls: fib(33) makes about 11 million calls.


def fib(n):
    if n < 2:
        return n
    return fib(n - 1) + fib(n - 2)


print(fib(33))
